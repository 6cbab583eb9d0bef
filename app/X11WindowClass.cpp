// freeglut gives its X windows no WM_CLASS, the property by which docks and
// task switchers tell whose window it is and find the desktop entry, with its
// name and icon, that started it. The ICCCM asks for it before the window is
// first mapped, and freeglut maps its window before glutCreateWindow returns:
// so Xlib's XSetWMProperties, which freeglut calls on each new window just
// before mapping it, is reached through this definition, which names the
// program's class, the one its desktop entry names, and hands the call on.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>

#ifndef WIBBLE_APPLICATION_ID
#error "WIBBLE_APPLICATION_ID names the windows' class, as it names the desktop entry"
#endif

extern "C" void XSetWMProperties(Display* display, Window window, XTextProperty* windowName,
                                 XTextProperty* iconName, char** argv, int argc,
                                 XSizeHints* normalHints, XWMHints* wmHints,
                                 XClassHint* /*classHint*/) {
    using Function = decltype(&XSetWMProperties);
    static const auto xlib = reinterpret_cast<Function>(dlsym(RTLD_NEXT, "XSetWMProperties"));
    if (!xlib) {
        // Without it the window would have no title and no size hints either.
        const char* why = dlerror();
        std::fprintf(stderr, "wibble: cannot find Xlib's XSetWMProperties: %s\n",
                     why ? why : "no library after the program defines it");
        std::exit(EXIT_FAILURE);
    }
    char instance[] = "wibble";
    char windowClass[] = WIBBLE_APPLICATION_ID;
    XClassHint program{instance, windowClass};
    xlib(display, window, windowName, iconName, argv, argc, normalHints, wmHints, &program);
}
