// Helper of the end-to-end test: "grab FILE" saves the X screen as a PNG;
// "close WINDOW" asks a window to close as a window manager's close box does
// (WM_DELETE_WINDOW), for a display that runs no window manager.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: e2eTool grab FILE | close WINDOW\n");
        return 2;
    }
    if (std::strcmp(argv[1], "grab") == 0) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        QGuiApplication app(argc, argv);
        return QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    }
    if (std::strcmp(argv[1], "close") == 0) {
        Display* d = XOpenDisplay(nullptr);
        if (!d)
            return 1;
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = static_cast<Window>(std::strtoul(argv[2], nullptr, 10));
        e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(d, e.xclient.window, False, NoEventMask, &e);
        XFlush(d);
        XCloseDisplay(d);
        return 0;
    }
    return 2;
}
