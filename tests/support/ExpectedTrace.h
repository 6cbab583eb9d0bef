#pragma once

// The five lines that every Wibble construction writes.
inline constexpr const char* wibbleConstructionTrace =
    "wibble: initialing members...\n"
    "wibble: initialize nodes array with actual nodes...\n"
    "initializing springs...\n"
    "initializing faces...\n"
    "wibble has been created\n";
