// Small X11 helper for the desktop scripts:
//   sg2_xprobe pixels X,Y [X,Y ...]  prints each root-window pixel's raw value in hex, as the
//                                    screen stores it (so 16-bit layouts can be checked exactly)
//   sg2_xprobe close WINDOW          asks the window to close, as a window manager's close
//                                    button does (WM_DELETE_WINDOW)
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int printPixels(Display* display, int count, char** points) {
    const Window root = DefaultRootWindow(display);
    for (int i = 0; i < count; ++i) {
        int x = 0;
        int y = 0;
        if (std::sscanf(points[i], "%d,%d", &x, &y) != 2) {
            std::fprintf(stderr, "sg2_xprobe: bad point %s\n", points[i]);
            return 2;
        }
        XImage* image = XGetImage(display, root, x, y, 1, 1, AllPlanes, ZPixmap);
        if (image == nullptr) {
            std::fprintf(stderr, "sg2_xprobe: cannot read %d,%d\n", x, y);
            return 1;
        }
        const unsigned long mask = image->red_mask | image->green_mask | image->blue_mask;
        std::printf("%s0x%lX", i > 0 ? " " : "", XGetPixel(image, 0, 0) & mask);
        XDestroyImage(image);
    }
    std::printf("\n");
    return 0;
}

int closeWindow(Display* display, const char* id) {
    const Window window = static_cast<Window>(std::strtoul(id, nullptr, 0));
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: sg2_xprobe pixels X,Y... | close WINDOW\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "sg2_xprobe: no display\n");
        return 1;
    }
    int status = 2;
    if (std::strcmp(argv[1], "pixels") == 0) {
        status = printPixels(display, argc - 2, argv + 2);
    } else if (std::strcmp(argv[1], "close") == 0) {
        status = closeWindow(display, argv[2]);
    }
    XCloseDisplay(display);
    return status;
}
