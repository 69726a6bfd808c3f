"""What is on an X screen, read straight from libX11 through ctypes.

The benchmark waits for windows many times a second; starting xdotool or ImageMagick for every
look would cost tens of milliseconds a time (on a machine with two cores, taken from the
installer being timed) and blur the intervals by as much. One connection and a handful of Xlib
calls answer in well under a millisecond.

With no window manager every top-level window is a direct child of the root window, at the
place its program put it.
"""

import ctypes
import ctypes.util

IS_VIEWABLE = 2
Z_PIXMAP = 2
ALL_PLANES = 0xFFFFFFFF
ANY_PROPERTY_TYPE = 0


class _WindowAttributes(ctypes.Structure):
    _fields_ = [
        ("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
        ("border_width", ctypes.c_int), ("depth", ctypes.c_int), ("visual", ctypes.c_void_p),
        ("root", ctypes.c_ulong), ("class_", ctypes.c_int), ("bit_gravity", ctypes.c_int),
        ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int),
        ("backing_planes", ctypes.c_ulong), ("backing_pixel", ctypes.c_ulong),
        ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
        ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
        ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
        ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p),
    ]


_ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)


class Window:
    def __init__(self, wid, x, y, width, height, title, res_name):
        self.id = wid
        self.x, self.y, self.width, self.height = x, y, width, height
        self.title = title
        self.res_name = res_name

    def geometry(self):
        return (self.x, self.y, self.width, self.height)

    def __repr__(self):
        return "Window(0x%x %dx%d+%d+%d %r %r)" % (self.id, self.width, self.height, self.x, self.y,
                                                   self.title, self.res_name)


class Screen:
    def __init__(self, display_name):
        path = ctypes.util.find_library("X11") or "libX11.so.6"
        x = ctypes.CDLL(path)
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                                 ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                                 ctypes.POINTER(ctypes.c_uint)]
        x.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(_WindowAttributes)]
        x.XInternAtom.restype = ctypes.c_ulong
        x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x.XGetWindowProperty.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long, ctypes.c_long, ctypes.c_int,
            ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_int),
            ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong),
            ctypes.POINTER(ctypes.POINTER(ctypes.c_ubyte))]
        x.XGetImage.restype = ctypes.c_void_p
        x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                                ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        x.XGetPixel.restype = ctypes.c_ulong
        x.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
        x.XDestroyImage.argtypes = [ctypes.c_void_p]
        x.XFree.argtypes = [ctypes.c_void_p]
        x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        x.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self._x = x
        # A window can go between listing it and asking about it; Xlib's default handler would
        # end this process for that. Failed calls are seen by their return values instead.
        self._handler = _ERROR_HANDLER(lambda display, event: 0)
        x.XSetErrorHandler(self._handler)
        self._display = x.XOpenDisplay(display_name.encode())
        if not self._display:
            raise RuntimeError("cannot open X display %s" % display_name)
        self._root = x.XDefaultRootWindow(self._display)
        self._net_wm_name = x.XInternAtom(self._display, b"_NET_WM_NAME", 0)
        self._wm_name = x.XInternAtom(self._display, b"WM_NAME", 0)
        self._wm_class = x.XInternAtom(self._display, b"WM_CLASS", 0)

    def close(self):
        if self._display:
            self._x.XCloseDisplay(self._display)
            self._display = None

    def _property(self, wid, atom):
        actual_type = ctypes.c_ulong()
        actual_format = ctypes.c_int()
        count = ctypes.c_ulong()
        after = ctypes.c_ulong()
        data = ctypes.POINTER(ctypes.c_ubyte)()
        status = self._x.XGetWindowProperty(self._display, wid, atom, 0, 4096, 0, ANY_PROPERTY_TYPE,
                                            ctypes.byref(actual_type), ctypes.byref(actual_format),
                                            ctypes.byref(count), ctypes.byref(after), ctypes.byref(data))
        if status != 0 or not data:
            return b""
        try:
            if actual_format.value != 8:
                return b""
            return ctypes.string_at(data, count.value)
        finally:
            self._x.XFree(data)

    def viewable_windows(self):
        """The top-level windows that are mapped, with their titles and WM_CLASS names."""
        root = ctypes.c_ulong()
        parent = ctypes.c_ulong()
        children = ctypes.POINTER(ctypes.c_ulong)()
        count = ctypes.c_uint()
        if not self._x.XQueryTree(self._display, self._root, ctypes.byref(root), ctypes.byref(parent),
                                  ctypes.byref(children), ctypes.byref(count)):
            return []
        ids = [children[i] for i in range(count.value)]
        if children:
            self._x.XFree(children)
        windows = []
        for wid in ids:
            attributes = _WindowAttributes()
            if not self._x.XGetWindowAttributes(self._display, wid, ctypes.byref(attributes)):
                continue
            if attributes.map_state != IS_VIEWABLE or attributes.width <= 1:
                continue
            title = self._property(wid, self._net_wm_name) or self._property(wid, self._wm_name)
            res_name = self._property(wid, self._wm_class).split(b"\0")[0]
            windows.append(Window(wid, attributes.x, attributes.y, attributes.width, attributes.height,
                                  title.decode("utf-8", "replace"), res_name.decode("utf-8", "replace")))
        return windows

    def pixel(self, x, y):
        """The colour at (x, y) of the screen as 0xRRGGBB, or None when it cannot be read."""
        image = self._x.XGetImage(self._display, self._root, x, y, 1, 1, ALL_PLANES, Z_PIXMAP)
        if not image:
            return None
        try:
            return self._x.XGetPixel(image, 0, 0) & 0xFFFFFF
        finally:
            self._x.XDestroyImage(image)


def is_blue(colour):
    """The blue of a primary button or a selection: much more blue than red."""
    return colour is not None and (colour & 0xFF) > ((colour >> 16) & 0xFF) + 60
