/*
 * exdui: a DirectUI library with a C API, drawn with Qt 6 Widgets.
 *
 * Handles are 32-bit integers from one table; 0 is "none" and every call
 * given a handle that is unknown, of the wrong kind or already destroyed
 * returns 0 or false and does nothing. Texts are UTF-16 (char16_t, NUL
 * terminated unless a length is given), colours 32-bit ARGB (alpha in the top
 * byte), rectangles left, top, right, bottom in pixels, canvas coordinates
 * float. Values of Get/SetLong are pointer-sized.
 *
 * Threads: every call may be made from any thread. The thread that called
 * Ex_Init is the UI thread; windows, objects, procedures, event handlers and
 * painting all run there. A call made on the UI thread runs at once. A call
 * from another thread is carried out on the UI thread: calls that only change
 * something are queued and return at once (true when the handle was alive at
 * the time of the call); calls that return a value wait for the UI thread.
 * A thread's calls are carried out in the order it made them. High-rate
 * setters (Ex_ObjSetText and the progress bar's position) keep only the
 * latest value while one update is queued; that value is applied after every
 * call made before it. A call that opens a message box or a popup menu does
 * not hold back other threads' calls while it is open. Once the main window's
 * loop has ended or Ex_UnInit has run, calls from other threads return 0 at
 * once, also those already waiting whose call has not started.
 *
 * Items, rows and list entries are numbered from 1.
 */
#ifndef EXDUI_EXDUI_H
#define EXDUI_EXDUI_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#define EXDUI_API __declspec(dllexport)
#else
#define EXDUI_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t ExHandle;
typedef uint32_t ExArgb;

typedef struct ExRect {
    int32_t left, top, right, bottom;
} ExRect;

typedef struct ExPoint {
    int32_t x, y;
} ExPoint;

/* Window (surface) procedure: (window, surface, message, wParam, lParam,
 * result slot). Returns nonzero when it handled the message; the value then
 * written to *result is the message's result. */
typedef intptr_t (*ExWndProc)(ExHandle window, ExHandle surface, int32_t message, intptr_t wParam,
                              intptr_t lParam, intptr_t* result);
/* An object's own message procedure (given to Ex_ObjCreateEx or set with
 * Ex_ObjSetLong index -4): (window, object, message, wParam, lParam, result
 * slot), same contract as ExWndProc. It sees every message before the class. */
typedef ExWndProc ExObjProc;
/* Class procedure (Ex_ObjRegister): (window, object, message, wParam, lParam)
 * and returns the message's result. It ends with Ex_ObjDefProc, or with
 * Ex_ObjCallProc to chain to the base class's procedure. */
typedef intptr_t (*ExClassProc)(ExHandle window, ExHandle object, int32_t message, intptr_t wParam,
                                intptr_t lParam);
/* Event handler (Ex_ObjHandleEvent): (object, id, code, wParam, lParam). */
typedef intptr_t (*ExEventProc)(ExHandle object, int32_t id, int32_t code, intptr_t wParam,
                                intptr_t lParam);
/* Event handler with a user value (Ex_ObjHandleEventEx): as ExEventProc, and
 * then the user value it was attached with, handed back untouched. */
typedef intptr_t (*ExEventProcEx)(ExHandle object, int32_t id, int32_t code, intptr_t wParam,
                                  intptr_t lParam, void* user);

/* ---- Messages ------------------------------------------------------------ */
#define EX_WM_CREATE (1)
#define EX_WM_DESTROY (2) /* window: before its objects go; object: as it goes */
#define EX_WM_MOVE (3)
#define EX_WM_SIZE (5) /* lParam = width | height << 16 (client size) */
#define EX_WM_SETFOCUS (7)
#define EX_WM_KILLFOCUS (8)
#define EX_WM_ENABLE (10)
#define EX_WM_SETTEXT (12)
#define EX_WM_PAINT (15)      /* paint through Ex_ObjBeginPaint / Ex_ObjEndPaint */
#define EX_WM_CLOSE (16)      /* window: handled means "do not close" */
#define EX_WM_ERASEBKGND (20) /* wParam = canvas */
#define EX_WM_SHOWWINDOW (24) /* wParam = 1 shown, 0 hidden */
#define EX_WM_NOTIFY (78)     /* wParam = id of the source, lParam = ExNotify* */
#define EX_WM_KEYDOWN                                              \
    (256) /* wParam = key code (EX_VK_*), lParam = EX_MK_SHIFT and \
             EX_MK_CONTROL for the modifiers held */
#define EX_WM_KEYUP (257)
#define EX_WM_CHAR (258)      /* wParam = UTF-16 unit */
#define EX_WM_COMMAND (273)   /* menu command: wParam = item identifier, lParam = owner */
#define EX_WM_TIMER (275)     /* wParam = object */
#define EX_WM_MOUSEMOVE (512) /* mouse: lParam = x | y << 16 (client), wParam = EX_MK_* */
#define EX_WM_LBUTTONDOWN (513)
#define EX_WM_LBUTTONUP (514)
#define EX_WM_LBUTTONDBLCLK (515)
#define EX_WM_RBUTTONDOWN (516)
#define EX_WM_RBUTTONUP (517)
#define EX_WM_MOUSEWHEEL (522)   /* wParam high 16 bits = signed delta (120 a notch) */
#define EX_WM_DROPFILES (563)    /* wParam = drop handle, see Ex_DropQueryFile */
#define EX_WM_PASTE (0x302)      /* Edit: lParam = the text about to be pasted */
#define EX_WM_MOUSEHOVER (0x2A1) /* the pointer entered the object */
#define EX_WM_MOUSELEAVE (0x2A3)
#define EX_MK_LBUTTON (1)
#define EX_MK_RBUTTON (2)
#define EX_MK_SHIFT (4)
#define EX_MK_CONTROL (8)

/* Key codes (wParam of EX_WM_KEYDOWN and of the -15 notification). Letters
 * and digits are their upper-case ASCII codes. */
#define EX_VK_BACK (8)
#define EX_VK_TAB (9)
#define EX_VK_RETURN (13)
#define EX_VK_SHIFT (16)
#define EX_VK_CONTROL (17)
#define EX_VK_MENU (18)
#define EX_VK_ESCAPE (27)
#define EX_VK_SPACE (32)
#define EX_VK_PRIOR (33)
#define EX_VK_NEXT (34)
#define EX_VK_END (35)
#define EX_VK_HOME (36)
#define EX_VK_LEFT (37)
#define EX_VK_UP (38)
#define EX_VK_RIGHT (39)
#define EX_VK_DOWN (40)
#define EX_VK_INSERT (45)
#define EX_VK_DELETE (46)
#define EX_VK_F1 (112)

/* ---- Notifications (Ex_ObjHandleEvent codes; EX_WM_NOTIFY records) -------- */
#define EX_NM_CLICK (-2)
#define EX_NM_DBLCLK (-3)
#define EX_NM_RCLICK (-5)
#define EX_NM_EASING (-8)      /* lParam = ExEasingInfo* */
#define EX_NM_CUSTOMDRAW (-12) /* list rows, see the list section */
#define EX_NM_KEYDOWN (-15)    /* wParam = key code, lParam = modifiers (EX_WM_KEYDOWN) */
#define EX_NM_CHECK (-89)      /* wParam = 1 checked, 0 unchecked */
#define EX_NM_TIMER (-90)
#define EX_NM_CALCSIZE (-97)      /* list row size, see the list section */
#define EX_CBN_SELCHANGE (1)      /* combo box: the user chose an item */
#define EX_LVN_COLUMNCLICK (-108) /* report list: a header title clicked, see the list section */
#define EX_LVN_BEGINDRAG (-109)   /* lists: a drag begins, see the list section */
#define EX_LVN_GETINFOTIP (-158)  /* lists: a row's tooltip, see the list section */

/* The record behind EX_WM_NOTIFY's lParam; valid during the call. */
typedef struct ExNotify {
    ExHandle from;
    int32_t id;
    int32_t code;
    intptr_t wParam;
    intptr_t lParam;
} ExNotify;

/* ---- Styles, states, indexes ------------------------------------------- */
/* Object styles (high bits common to every class). */
#define EX_OS_VISIBLE (0x10000000)
#define EX_OS_DISABLED (0x08000000)
#define EX_OS_VSCROLL (0x40000000)
#define EX_OS_HSCROLL (-2147483647 - 1) /* 0x80000000 */
/* Extended styles: the object accepts files dropped on it (EX_WM_DROPFILES). */
#define EX_OS_EX_DRAGDROP (0x02000000)
#define EX_OS_EX_ACCEPTFILES (0x04000000)
/* Object state bits (Ex_ObjSetUIState, ExPaint.state). */
#define EX_STATE_DISABLED (1)
#define EX_STATE_FOCUS (4)
#define EX_STATE_DOWN (8)
#define EX_STATE_CHECKED (16)
#define EX_STATE_HOVER (128)
/* Surface styles (Ex_DUIBindWindowEx). */
#define EX_WS_BUTTON_CLOSE (0x1)
#define EX_WS_BUTTON_MAX (0x2)
#define EX_WS_BUTTON_MIN (0x4)
#define EX_WS_BUTTON_MENU (0x8)     /* accepted, not drawn */
#define EX_WS_BUTTON_SKIN (0x10)    /* accepted, not drawn */
#define EX_WS_BUTTON_SETTING (0x20) /* accepted, not drawn */
#define EX_WS_HASICON (0x80)
#define EX_WS_TITLE (0x100)          /* a title bar drawn by the library */
#define EX_WS_SIZEABLE (0x400)       /* resizable by its edges */
#define EX_WS_MOVEABLE (0x800)       /* moved by dragging its background */
#define EX_WS_NOSHADOW (0x1000)      /* accepted; no shadow is drawn anyway */
#define EX_WS_ESCEXIT (0x8000)       /* Escape closes the window */
#define EX_WS_MAINWINDOW (0x10000)   /* its destruction ends Ex_WndMsgLoop */
#define EX_WS_CENTERWINDOW (0x20000) /* centred on the screen when bound */
#define EX_WS_NOTITLEBAR (0x40000)
/* Ex_DUISetLong / Ex_DUIGetLong indexes. */
#define EX_DUI_PROC (-4)
#define EX_DUI_STYLE (-16)
#define EX_DUI_USERDATA (-21)
#define EX_DUI_BACKGROUND (-31)
/* Ex_ObjSetLong / Ex_ObjGetLong indexes; 0 and up address the extra storage. */
#define EX_OL_PROC (-4)   /* the object's own ExObjProc */
#define EX_OL_LPARAM (-7) /* the user value given at creation */
#define EX_OL_PARENT (-8) /* read only */
#define EX_OL_TEXTFORMAT (-11)
#define EX_OL_ID (-12)
#define EX_OL_STYLE (-16)
#define EX_OL_EXSTYLE (-20)
#define EX_OL_USERDATA (-21)
#define EX_OL_CLASSDATA (-23) /* read only: the class's record (Edit: ExEditRecord*) */
#define EX_OL_STATE (-24)     /* read only: EX_STATE_* bits */
/* Colour slots (Ex_ObjSetColor). Classes name the slots they use. */
#define EX_COLOR_BACKGROUND (0)
#define EX_COLOR_BORDER (1)
#define EX_COLOR_TEXT (2)
#define EX_COLOR_TEXT_HOVER (3)
#define EX_COLOR_TEXT_DOWN (4)
#define EX_COLOR_TEXT_CHECKED (6) /* progress bar: the filled part */
#define EX_COLOR_CARET (30)
/* Text format bits (_canvas_drawtext, ExPaint.textFormat). */
#define EX_DT_LEFT (0)
#define EX_DT_CENTER (1)
#define EX_DT_RIGHT (2)
#define EX_DT_VCENTER (4)
#define EX_DT_BOTTOM (8)
#define EX_DT_WORDBREAK (0x10)
#define EX_DT_SINGLELINE (0x20)
#define EX_DT_NOPREFIX (0x800)
#define EX_DT_PATH_ELLIPSIS (0x4000)
#define EX_DT_END_ELLIPSIS (0x8000)
/* Ex_DUIShowWindow commands. */
#define EX_SW_HIDE (0)
#define EX_SW_SHOWNORMAL (1)
#define EX_SW_SHOWMINIMIZED (2)
#define EX_SW_SHOWMAXIMIZED (3)
#define EX_SW_SHOWNOACTIVATE (4)
#define EX_SW_SHOW (5)
#define EX_SW_RESTORE (9)
/* Keeps a coordinate in Ex_ObjMove and Ex_WndMove. */
#define EX_KEEP (-2147483647 - 1) /* 0x80000000 */

/* ---- Life cycle ---------------------------------------------------------- */
/* Starts the library on the calling thread, which becomes the UI thread. The
 * theme bytes are accepted and ignored. Creates the Qt application unless one
 * exists. Returns true on success or when already started. */
EXDUI_API int Ex_Init(void* instance, uint32_t flags, intptr_t cursor, const char16_t* className,
                      const void* theme, size_t themeLength, const void* i18n, size_t i18nLength);
/* Destroys every window and resource, releases waiting callers and ends the
 * Qt application if Ex_Init made it. UI thread only. */
EXDUI_API int Ex_UnInit(void);

/* ---- Windows and surfaces ----------------------------------------------- */
/* A hidden frameless top-level window at (x, y) with the client size given.
 * parent may name another window (kept above it); className and the styles
 * are accepted and ignored. Returns the window handle or 0. */
EXDUI_API ExHandle Ex_WndCreate(ExHandle parent, const char16_t* className, const char16_t* title,
                                int32_t x, int32_t y, int32_t width, int32_t height, int32_t style,
                                int32_t styleEx);
/* Binds the DirectUI surface (the parent of objects) with the EX_WS_* style.
 * theme and lParam are ignored; proc may be 0. Returns the surface or 0; a
 * second bind returns the first surface. */
EXDUI_API ExHandle Ex_DUIBindWindowEx(ExHandle window, const void* theme, int32_t style,
                                      intptr_t lParam, ExWndProc proc);
/* Index -31 background ARGB, -4 procedure, -21 user data. Returns the old value. */
EXDUI_API intptr_t Ex_DUISetLong(ExHandle surface, int32_t index, intptr_t value);
EXDUI_API intptr_t Ex_DUIGetLong(ExHandle surface, int32_t index);
EXDUI_API int Ex_DUIShowWindow(ExHandle surface, int32_t showCommand, int32_t timer, int32_t frames,
                               int32_t flags);
/* Client rectangle of the surface: (0, 0, width, height). */
EXDUI_API int Ex_DUIGetClientRect(ExHandle surface, ExRect* rect);
/* The surface of a window, or the window of a surface. */
EXDUI_API ExHandle Ex_DUIFromWindow(ExHandle window);
EXDUI_API ExHandle Ex_DUIGetWindow(ExHandle surface);
/* Runs events on the UI thread until a window with EX_WS_MAINWINDOW is
 * destroyed (at once when none exists). Returns 0. */
EXDUI_API int Ex_WndMsgLoop(void);
/* Screen rectangle of the window (frameless: outer = client). */
EXDUI_API int Ex_WndGetRect(ExHandle window, ExRect* rect);
/* Moves and sizes in one step; EX_KEEP keeps a value. */
EXDUI_API int Ex_WndMove(ExHandle window, int32_t x, int32_t y, int32_t width, int32_t height,
                         int repaint);
EXDUI_API int Ex_WndSetTopmost(ExHandle window, int on);
EXDUI_API int Ex_WndEnable(ExHandle window, int enable);
EXDUI_API int Ex_WndIsVisible(ExHandle window);
/* The least outer size of the window: resizing by its edges stops there, and
 * Ex_WndMove and the show commands give it no less. A window smaller now
 * grows to it. 0 lifts the limit of that side. */
EXDUI_API int Ex_WndSetMinSize(ExHandle window, int32_t width, int32_t height);
/* Messages to a window's procedure. EX_WM_CLOSE left unhandled destroys the
 * window. Posting always queues, also on the UI thread. */
EXDUI_API intptr_t Ex_WndSendMessage(ExHandle window, int32_t message, intptr_t wParam,
                                     intptr_t lParam);
EXDUI_API int Ex_WndPostMessage(ExHandle window, int32_t message, intptr_t wParam, intptr_t lParam);
/* Rectangle of the primary screen (the desktop window). */
EXDUI_API int Ex_WndGetDesktopRect(ExRect* rect);
/* The work area that windows may take (the screen less its task bars and
 * docks) of the screen showing the largest part of window; of the primary
 * screen for window 0 or a window on no screen. Returns 0 for an unknown
 * window. */
EXDUI_API int Ex_WndGetWorkRect(ExHandle window, ExRect* rect);
/* Pointer position in screen coordinates. */
EXDUI_API int Ex_GetCursorPos(ExPoint* point);
/* The system's own handle of a window (or of a surface's window), for calling
 * the system directly: the HWND on Windows, the X11 window id under X11; 0
 * where the system has none another library could use (Wayland, Qt's
 * offscreen platform) and for a bad handle. Not a library handle: never pass
 * it to the Ex_* calls. Makes the window's native resources if it has none
 * yet. */
EXDUI_API intptr_t Ex_WndGetNativeHandle(ExHandle window);

/* ---- Dropped files ------------------------------------------------------- */
/* drop is the wParam of EX_WM_DROPFILES, valid during that message. With
 * index 0xFFFFFFFF returns the number of names; otherwise copies name index
 * (from 0, UTF-16, NUL terminated, cut to fit) into buffer of capacity units
 * and returns its length; with buffer 0 returns the length needed. */
EXDUI_API uint32_t Ex_DropQueryFile(intptr_t drop, uint32_t index, char16_t* buffer,
                                    uint32_t capacity);

/* ---- Dragging data out --------------------------------------------------- */
/* One representation of the dragged data, named by its MIME type
 * ("text/uri-list", "text/plain", ...); the bytes are handed over as given. */
typedef struct ExDragFormat {
    const char* mimeType; /* ASCII, NUL terminated */
    const void* data;
    size_t length; /* bytes at data */
} ExDragFormat;
#define EX_DROPEFFECT_NONE (0)
#define EX_DROPEFFECT_COPY (1)
#define EX_DROPEFFECT_MOVE (2)
#define EX_DROPEFFECT_LINK (4)
/* Starts dragging count formats out of object, as the left button is held
 * (typically from the list's EX_LVN_BEGINDRAG), and returns when the drag
 * ends: the data may be dropped on any program that takes one of the formats
 * (a file manager, a chat window) or on the program itself. effects is the
 * set of EX_DROPEFFECT_* the source allows. Runs events while it waits, like
 * a popup menu. Returns the effect the target chose, or EX_DROPEFFECT_NONE
 * when the drag was cancelled or refused, the handle is bad, a format has no
 * type, or the call was made on another thread than the UI thread (a drag
 * belongs to the mouse of the UI thread). A real drag needs a display: on Qt's
 * offscreen platform there is no session to drop into. */
EXDUI_API int32_t Ex_ObjDoDragDrop(ExHandle object, const ExDragFormat* formats, int32_t count,
                                   uint32_t effects);

/* ---- Menus and message boxes ---------------------------------------------- */
#define EX_MF_STRING (0)
#define EX_MF_GRAYED (1)
#define EX_MF_DISABLED (2)
#define EX_MF_CHECKED (8)
#define EX_MF_POPUP (0x10)
#define EX_MF_SEPARATOR (0x800)
#define EX_TPM_RETURNCMD (0x100)
EXDUI_API ExHandle Ex_MenuCreatePopup(void);
/* Appends an item (text and identifier), a separator (EX_MF_SEPARATOR) or a
 * submenu (EX_MF_POPUP, id = the submenu's handle). */
EXDUI_API int Ex_MenuAppend(ExHandle menu, uint32_t flags, intptr_t id, const char16_t* text);
EXDUI_API int Ex_MenuGetItemCount(ExHandle menu);
EXDUI_API int Ex_MenuDestroy(ExHandle menu);
/* Shows the menu at screen (x, y) and returns when it closes. The chosen
 * identifier reaches the procedure of the owner's window as EX_WM_COMMAND
 * (wParam identifier, lParam owner); with EX_TPM_RETURNCMD it is returned
 * instead. owner is an object or a surface. Returns the identifier, or
 * nonzero when an item was chosen, 0 when none. */
EXDUI_API intptr_t Ex_TrackPopupMenu(ExHandle menu, uint32_t flags, int32_t x, int32_t y,
                                     int32_t reserved, ExHandle owner, const ExRect* rect,
                                     void* callback, uint32_t menuFlags);
#define EX_MB_OK (0)
#define EX_MB_OKCANCEL (1)
#define EX_MB_YESNO (4)
#define EX_MB_ICONERROR (0x10)
#define EX_MB_ICONQUESTION (0x20)
#define EX_MB_ICONWARNING (0x30)
#define EX_MB_ICONINFORMATION (0x40)
#define EX_IDOK (1)
#define EX_IDCANCEL (2)
#define EX_IDYES (6)
#define EX_IDNO (7)
/* A modal message box over owner (a window, surface or object, or 0).
 * Returns EX_IDOK, EX_IDCANCEL, EX_IDYES or EX_IDNO (closing the box without
 * a choice gives EX_IDCANCEL for OK/Cancel, EX_IDNO for Yes/No, EX_IDOK for OK). */
EXDUI_API int32_t Ex_MessageBox(ExHandle owner, const char16_t* text, const char16_t* caption,
                                uint32_t type, uint32_t flags);

/* ---- Classes and objects ---------------------------------------------- */
typedef struct ExClassInfo {
    int32_t style;
    int32_t styleEx;
    int32_t textFormat;
    int32_t extraBytes;
    intptr_t cursor;
    int32_t flags;    /* carries the built-in implementation: copy it to derive */
    ExClassProc proc; /* the class procedure; chain to it with Ex_ObjCallProc */
} ExClassInfo;

/* Defines a class. Its objects get ceil(extraBytes / 4) pointer-sized slots
 * (Ex_ObjSetLong index 0 and up). To derive from a class, pass the style,
 * extended style, text format, cursor and flags from Ex_ObjGetClassInfoEx:
 * the objects then get that class's behaviour and proc sees their messages
 * first. proc 0 means Ex_ObjDefProc. Names compare case-insensitively;
 * registering an existing name fails. */
EXDUI_API int Ex_ObjRegister(const char16_t* className, int32_t style, int32_t styleEx,
                             int32_t textFormat, int32_t extraBytes, intptr_t cursor, int32_t flags,
                             ExClassProc proc);
EXDUI_API int Ex_ObjGetClassInfoEx(const char16_t* className, ExClassInfo* info);
EXDUI_API intptr_t Ex_ObjDefProc(ExHandle window, ExHandle object, int32_t message, intptr_t wParam,
                                 intptr_t lParam);
EXDUI_API intptr_t Ex_ObjCallProc(ExClassProc proc, ExHandle window, ExHandle object,
                                  int32_t message, intptr_t wParam, intptr_t lParam);

/* Creates an object of a class. -1 for styleEx, style or textFormat takes the
 * class default; parent is a surface or an object. proc may be 0. Returns
 * the object or 0. */
EXDUI_API ExHandle Ex_ObjCreateEx(int32_t styleEx, const char16_t* className, const char16_t* title,
                                  int32_t style, int32_t x, int32_t y, int32_t width,
                                  int32_t height, ExHandle parent, int32_t id, int32_t textFormat,
                                  intptr_t lParam, ExHandle theme, ExObjProc proc);
/* Attaches a handler for a notification code; several handlers per code run
 * in order until one returns nonzero. handler 0 removes them. */
EXDUI_API int Ex_ObjHandleEvent(ExHandle object, int32_t code, ExEventProc handler);
/* Attaches a handler that gets user back at every call, so that one function
 * can serve several owners. Handlers of both kinds share one list per code:
 * they run in the order attached, whichever call attached them, and handler
 * 0 here or in Ex_ObjHandleEvent removes every handler of the code. The
 * library never reads or frees user. */
EXDUI_API int Ex_ObjHandleEventEx(ExHandle object, int32_t code, ExEventProcEx handler, void* user);
/* Sends a message through the object's procedure and class. */
EXDUI_API intptr_t Ex_ObjSendMessage(ExHandle object, int32_t message, intptr_t wParam,
                                     intptr_t lParam);
/* Raises a notification: EX_WM_NOTIFY to the object, then its handlers, then
 * EX_WM_NOTIFY to its window's procedure, until one handles it. */
EXDUI_API intptr_t Ex_ObjDispatchNotify(ExHandle object, int32_t code, intptr_t wParam,
                                        intptr_t lParam);
EXDUI_API intptr_t Ex_ObjSetLong(ExHandle object, int32_t index, intptr_t value);
EXDUI_API intptr_t Ex_ObjGetLong(ExHandle object, int32_t index);
/* Adds (remove = 0) or removes state bits; redraw repaints. */
EXDUI_API int Ex_ObjSetUIState(ExHandle object, uint32_t state, int remove, const ExRect* rect,
                               int redraw);
/* EX_WM_TIMER every interval ms (its default raises EX_NM_TIMER); 0 stops. */
EXDUI_API int Ex_ObjSetTimer(ExHandle object, int32_t interval);
EXDUI_API int Ex_ObjKillTimer(ExHandle object);
/* Position relative to the parent and size; EX_KEEP keeps a value. */
EXDUI_API int Ex_ObjMove(ExHandle object, int32_t x, int32_t y, int32_t width, int32_t height,
                         int repaint);
EXDUI_API int Ex_ObjShow(ExHandle object, int show);
EXDUI_API int Ex_ObjIsVisible(ExHandle object);
EXDUI_API int Ex_ObjEnable(ExHandle object, int enable);
EXDUI_API int Ex_ObjSetFocus(ExHandle object);
/* Sends EX_WM_DESTROY to the object and its children and frees them. */
EXDUI_API int Ex_ObjDestroy(ExHandle object);
/* The first child of parent (a surface or object) after childAfter (0: from
 * the first) whose class and title match; 0 or NULL matches any. */
EXDUI_API ExHandle Ex_ObjFind(ExHandle parent, ExHandle childAfter, const char16_t* className,
                              const char16_t* title);
EXDUI_API ExHandle Ex_ObjGetParent(ExHandle object);
EXDUI_API ExHandle Ex_ObjGetFromID(ExHandle parent, int32_t id);
EXDUI_API int Ex_ObjSetText(ExHandle object, const char16_t* text, int redraw);
/* Copies the text into buffer, bufferBytes bytes long, cut to fit and NUL
 * terminated; returns the number of UTF-16 units copied. */
EXDUI_API size_t Ex_ObjGetText(ExHandle object, char16_t* buffer, size_t bufferBytes);
/* Length of the text in UTF-16 units. */
EXDUI_API size_t Ex_ObjGetTextLength(ExHandle object);
EXDUI_API int Ex_ObjGetRect(ExHandle object, ExRect* rect);
EXDUI_API int Ex_ObjGetClientRect(ExHandle object, ExRect* rect);
/* Sets a colour slot; returns the previous colour (0 for a bad handle). */
EXDUI_API ExArgb Ex_ObjSetColor(ExHandle object, int32_t slot, ExArgb color, int redraw);
EXDUI_API ExArgb Ex_ObjGetColor(ExHandle object, int32_t slot);
/* Family NULL or empty: the default; "微软雅黑" maps to a Simplified Chinese
 * font. size in pixels, style bits 1 bold 2 italic 4 underline 8 strikeout;
 * -1 keeps the default. */
EXDUI_API int Ex_ObjSetFontFromFamily(ExHandle object, const char16_t* family, int32_t size,
                                      int32_t style, int redraw);
/* The object's font handle, owned by the object (valid while it lives). */
EXDUI_API ExHandle Ex_ObjGetFont(ExHandle object);
/* Corner radii (top-left, top-right, bottom-right, bottom-left) of the
 * background the library paints. */
EXDUI_API int Ex_ObjSetRadius(ExHandle object, float topLeft, float topRight, float bottomRight,
                              float bottomLeft, int redraw);
/* Repaints rect (NULL: the whole object). */
EXDUI_API int Ex_ObjInvalidateRect(ExHandle object, const ExRect* rect);
/* The tooltip: shown when the pointer rests on the object (after the
 * system's usual delay) until it leaves or presses. Its children without a
 * tooltip of their own show it too. NULL or "" removes it. */
EXDUI_API int Ex_ObjSetTooltip(ExHandle object, const char16_t* text);
/* Copies the tooltip as Ex_ObjGetText copies the text; returns the number of
 * UTF-16 units copied. */
EXDUI_API size_t Ex_ObjGetTooltip(ExHandle object, char16_t* buffer, size_t bufferBytes);

/* ---- Painting ------------------------------------------------------------ */
typedef struct ExPaint {
    ExHandle canvas; /* valid until Ex_ObjEndPaint */
    int32_t textFormat;
    uint32_t state; /* EX_STATE_* bits: 8 pressed, 128 hover */
    int32_t style;
    int32_t styleEx;
    int32_t width; /* client size in pixels */
    int32_t height;
    ExRect update; /* the part being painted */
} ExPaint;

/* Only inside EX_WM_PAINT / EX_WM_ERASEBKGND of that object. */
EXDUI_API int Ex_ObjBeginPaint(ExHandle object, ExPaint* paint);
EXDUI_API int Ex_ObjEndPaint(ExHandle object, ExPaint* paint);

/* Canvas calls are valid while the canvas is being painted (UI thread). */
EXDUI_API int _canvas_clear(ExHandle canvas, ExArgb color);
EXDUI_API int _canvas_fillrect(ExHandle canvas, ExHandle brush, float left, float top, float right,
                               float bottom);
EXDUI_API int _canvas_fillroundedrect(ExHandle canvas, ExHandle brush, float left, float top,
                                      float right, float bottom, float radiusX, float radiusY);
EXDUI_API int _canvas_drawrect(ExHandle canvas, ExHandle brush, float left, float top, float right,
                               float bottom, float strokeWidth);
EXDUI_API int _canvas_drawline(ExHandle canvas, ExHandle brush, float x1, float y1, float x2,
                               float y2, float strokeWidth);
EXDUI_API int _canvas_fillellipse(ExHandle canvas, ExHandle brush, float centerX, float centerY,
                                  float radiusX, float radiusY);
/* length -1: NUL terminated. font 0: the default font. */
EXDUI_API int _canvas_drawtext(ExHandle canvas, ExHandle font, ExArgb color, const char16_t* text,
                               intptr_t length, int32_t format, float left, float top, float right,
                               float bottom);
/* Size of the text laid out within layoutWidth by layoutHeight. */
EXDUI_API int _canvas_calctextsize(ExHandle canvas, ExHandle font, const char16_t* text,
                                   intptr_t length, int32_t format, float layoutWidth,
                                   float layoutHeight, float* width, float* height);
/* alpha 0..255 */
EXDUI_API int _canvas_drawimage(ExHandle canvas, ExHandle image, float left, float top,
                                int32_t alpha);
EXDUI_API int _canvas_drawimagerect(ExHandle canvas, ExHandle image, float left, float top,
                                    float right, float bottom, int32_t alpha);
EXDUI_API int _canvas_setantialias(ExHandle canvas, int on);
EXDUI_API int _canvas_setimageantialias(ExHandle canvas, int on);

EXDUI_API ExHandle _brush_create(ExArgb color);
/* Returns the previous colour. */
EXDUI_API ExArgb _brush_setcolor(ExHandle brush, ExArgb color);
EXDUI_API int _brush_destroy(ExHandle brush);

EXDUI_API ExHandle _font_createfromfamily(const char16_t* family, int32_t size, int32_t style);
EXDUI_API int _font_destroy(ExHandle font);

/* ---- Images ---------------------------------------------------------------- */
/* PNG (or any format Qt reads) bytes; 0 when they do not decode. */
EXDUI_API ExHandle _img_createfrommemory(const void* data, size_t length);
/* icon is an HICON on Windows: an image of its full size; the caller keeps
 * the icon. Other systems have no icon handles: returns 0 there. File icons
 * come from _img_createfromfileicon on every system. */
EXDUI_API ExHandle _img_createfromhicon(const void* icon);
/* The icon the desktop shows for a file, sizeClass 0 small (16), 1 large
 * (32), 2 extra large (48), 3 jumbo (256). */
EXDUI_API ExHandle _img_createfromfileicon(const char16_t* path, int32_t sizeClass);
EXDUI_API int _img_getsize(ExHandle image, int32_t* width, int32_t* height);
EXDUI_API int _img_destroy(ExHandle image);
/* Image lists hold copies scaled to their size; indexes from 1. */
EXDUI_API ExHandle _imglist_create(int32_t width, int32_t height);
/* Inserts a copy of image at index (0 or past the end: appended); returns its
 * index or 0. */
EXDUI_API int32_t _imglist_addimage(ExHandle list, int32_t index, ExHandle image);
EXDUI_API int32_t _imglist_count(ExHandle list);
EXDUI_API int _imglist_destroy(ExHandle list);

/* ---- Animation --------------------------------------------------------- */
/* mode bits */
#define EX_ES_SINGLE (1)         /* run once (else: repeat until destroyed) */
#define EX_ES_REVERSE (2)        /* each repeat runs the other way */
#define EX_ES_DISPATCHNOTIFY (8) /* context is an object: EX_NM_EASING each step */
#define EX_ES_CALLFUNCTION (16)  /* context is an ExEasingProc */
#define EX_ES_RELEASE (128)      /* the handle goes at the end */
#define EX_ES_NOTHREAD (256)     /* steps on the UI thread (always so here) */
typedef struct ExEasingInfo {
    ExHandle easing;
    double progress; /* 0 .. 1; exactly 1 at the last step */
    double current;  /* start + (stop - start) * curve(progress) */
    intptr_t context;
    int32_t timesLeft;
    intptr_t param1, param2, param3, param4;
} ExEasingInfo;
typedef intptr_t (*ExEasingProc)(const ExEasingInfo* info);
/* curve: the common easing table (0 linear, 1-4 quad in/out/in-out/out-in,
 * 5-8 cubic, 9-12 quart, 13-16 quint, 17-20 sine, 21-24 expo, 25-28 circ,
 * 29-32 elastic, 33-36 back, 37-40 bounce). total and interval in ms. */
EXDUI_API ExHandle _easing_create(int32_t curve, void* curveContext, uint32_t mode,
                                  intptr_t context, int32_t total, int32_t interval, uint32_t state,
                                  int32_t start, int32_t stop, intptr_t param1, intptr_t param2,
                                  intptr_t param3, intptr_t param4);
EXDUI_API int _easing_isrunning(ExHandle easing);
EXDUI_API int _easing_destroy(ExHandle easing);

/* ---- Built-in classes: messages ----------------------------------------- */
/* "Edit": single line, or several lines with EX_EDIT_MULTILINE (which then
 * scroll; EX_OS_VSCROLL keeps the vertical scroll bar shown). EX_OL_CLASSDATA
 * gives its ExEditRecord; the text rectangle there (client coordinates) may
 * be changed and takes effect at the next repaint. Style 0x2 read only, 0x20
 * password (single line only). A key pressed in the box reaches its handlers
 * (EX_NM_KEYDOWN) before the box acts on it; a handler that returns nonzero
 * keeps the key from the box. Before the box pastes text (the paste keys,
 * its context menu; with EX_EDIT_MULTILINE also text dropped on it) it sends
 * itself EX_WM_PASTE with lParam the text (UTF-16, NUL terminated, valid
 * during the call): when the object's procedure handles it with a nonzero
 * result the box pastes nothing (the program may put the text elsewhere).
 * A single-line box keeps line breaks of pasted text in its text. */
#define EX_EDIT_MULTILINE (0x4)
typedef struct ExEditRecord {
    ExRect textRect;
} ExEditRecord;
#define EX_EM_GETSEL (176)
#define EX_EM_SETSEL (177)
#define EX_EM_REPLACESEL (194)
/* "combobox": style 0x10000001 editable, 0x10000000 drop-down only. Item
 * indexes from 1; 0 means none. */
#define EX_CBS_EDITABLE (1)
#define EX_CB_ADDSTRING (323)    /* lParam text; returns the new index */
#define EX_CB_DELETESTRING (324) /* wParam index; returns the count left */
#define EX_CB_GETCOUNT (326)
#define EX_CB_GETCURSEL (327)
#define EX_CB_GETLBTEXT (328) /* wParam index, lParam buffer; returns the length */
#define EX_CB_GETLBTEXTLEN (329)
#define EX_CB_INSERTSTRING (330) /* wParam index (0: append), lParam text */
#define EX_CB_RESETCONTENT (331) /* empties the items; keeps the text */
#define EX_CB_SETCURSEL (334)    /* wParam index; sets the text; no notification */
/* "progressBar": slot 0 background, 1 border, 6 the filled part. */
#define EX_PBM_SETRANGE (1025)
#define EX_PBM_SETPOS (1026)
#define EX_PBM_GETPOS (1032)
#define EX_PBM_GETRANGE (1031)
/* "RadioButton": slots 2 normal, 3 hover, 4 pressed, 6 checked text. */
#define EX_BM_GETCHECK (240)
#define EX_BM_SETCHECK (241)

/* ==== List classes: records and messages ("ListView", "ReportListView") ====
 * This section belongs to the list classes.
 *
 * Rows and columns are numbered from 1; 0 means none.
 *
 * "ListView" is an owner-data list. It knows the number of rows, one height
 * for all rows and the state of each row; its owner gives the height and
 * draws every visible row. Both come as notifications, EX_WM_NOTIFY to the
 * list's own procedure (ExNotify.from is the list), then its handlers, then
 * its window's procedure:
 *   EX_NM_CALCSIZE (-97), lParam ExListSize*: the row height to use goes into
 *     height. Asked the first time the list needs it and again whenever the
 *     list gets EX_WM_SIZE (whatever its parameters) or EX_LVM_SETROWHEIGHT.
 *     Left alone, the height stays (default 30).
 *   EX_NM_CUSTOMDRAW (-12), lParam ExListDraw*: draw the row on the canvas and
 *     set the result to 1. Sent for each visible row as it is painted, row
 *     after row, each clipped to its rectangle. A plain highlight of selected
 *     and hot rows (colour slots 9 and 10) is painted under the owner's drawing.
 * Both list classes raise, with wParam the row (0: none) and lParam
 * x | y << 16 in client coordinates:
 *   EX_NM_CLICK (-2) when the left button goes down (rows or empty area),
 *   EX_NM_DBLCLK (-3) on a left double-click on a row (never on the empty area),
 *   EX_NM_RCLICK (-5) when the right button is released,
 *   EX_LVN_BEGINDRAG (-109) when the left button, pressed on a selected row,
 *     moves by the system's drag distance while held (lParam: where it was
 *     pressed). The owner may then drag the selection out (Ex_ObjDoDragDrop);
 *     otherwise nothing happens.
 *   EX_LVN_GETINFOTIP (-158), lParam ExListTip*, when the pointer has rested
 *     on a row: the tooltip to show there, written into the record's buffer
 *     (empty: none, and the object's own tooltip shows instead). A report
 *     list fills the buffer first with the whole text of the cell under the
 *     pointer when the cell shows it cut, else with "".
 * A plain press on one of several selected rows keeps them all selected, so
 * that they can be dragged together; its release selects that row alone.
 * Mouse and keys select as a Windows list view does: a click selects one row;
 * with the style EX_LVS_MULTISELECT, Ctrl toggles a row and Shift selects the
 * range from the last clicked row; a right press on an unselected row selects
 * it alone; Up, Down, PageUp, PageDown, Home and End move the selection
 * (Shift extends it, Ctrl moves only the mark); Ctrl+A selects every row.
 * The row under the pointer is hot. EX_OS_VSCROLL and EX_OS_HSCROLL show the
 * scroll bars; the wheel scrolls either way.
 *
 * "ReportListView" holds rows of text cells under a header of columns, with
 * an optional image per row (drawn before the first cell) from the image list
 * set with EX_LVM_SETIMAGELIST. The list destroys that image list when it
 * is destroyed itself, unless its style has EX_LVS_SHAREIMAGELISTS; an image
 * list replaced by another goes back to the caller. A left click on a column's
 * title in the header (not on its edge, which resizes the column) raises
 * EX_LVN_COLUMNCLICK (-108) with wParam the column; the list sorts nothing
 * itself, the owner refills it in its order and may mark the column with
 * EX_LVM_SETSORTMARK. A row may have a text colour of its own (inserted with
 * EX_LVM_INSERTITEMS), used for all its cells. Colour slots: 1 grid
 * lines and header separators, 2 header titles and cells whose column has no
 * colour, 8 header background, 9 selected rows, 10 hot rows. Style bits 0x100
 * and 0x200 draw horizontal and vertical grid lines.
 */
enum {
    EX_LVS_MULTISELECT = 0x8,      /* Ctrl and Shift select several rows */
    EX_LVS_SHAREIMAGELISTS = 0x40, /* report list: the image list outlives the list */
    EX_RLVS_HLINES = 0x100,        /* report list: a line under every row */
    EX_RLVS_VLINES = 0x200         /* report list: a line after every column */
};
/* Row states: exactly these two bits are ever reported. */
enum { EX_LVIS_SELECTED = 0x2, EX_LVIS_HOT = 0x80 };
/* Colour slots of the lists besides 0 background, 1 border, 2 text. */
enum { EX_COLOR_LIST_HEADER = 8, EX_COLOR_LIST_SELECTED = 9, EX_COLOR_LIST_HOT = 10 };

enum {
    /* Both classes. */
    EX_LVM_GETITEMCOUNT = 4100,     /* returns the number of rows */
    EX_LVM_ENSUREVISIBLE = 4115,    /* wParam row: scrolls it into view */
    EX_LVM_GETTOPINDEX = 4135,      /* returns the row at the top of the view (the first
                                       shown, whole or cut at its top); 0 when the list
                                       has no rows */
    EX_LVM_UPDATE = 4138,           /* repaints the rows */
    EX_LVM_SETITEMSTATE = 4139,     /* wParam row, or -1 for every row; lParam state, of
                                       which only EX_LVIS_SELECTED counts. O(1) a row;
                                       returns 1, or 0 for a row out of range */
    EX_LVM_GETITEMSTATE = 4140,     /* wParam row; returns its EX_LVIS_* bits (lParam ignored) */
    EX_LVM_GETSELECTEDCOUNT = 4146, /* returns the number of selected rows */
    EX_LVM_GETSELECTIONMARK = 4162, /* 0x1042; returns the selection mark (current row) or 0 */
    EX_LVM_SETSELECTIONMARK = 4163, /* 0x1043; lParam row becomes the mark; with wParam
                                       nonzero it also becomes the only selected row and
                                       is scrolled into view. A row out of range clears
                                       the mark. Returns the previous mark */
    EX_LVM_SETROWHEIGHT = 4908,     /* lParam height in pixels (wParam when lParam is 0),
                                       1 to 4096; the owner may still change it (-97) */
    /* "ListView" only. */
    EX_LVM_SETITEMCOUNT = 4143, /* 0x102F; wParam count. Rows that remain keep their
                                   state; the mark is cleared when it falls beyond */
    /* "ReportListView" only. */
    EX_LVM_GETIMAGELIST = 4098,   /* returns the row image list or 0 */
    EX_LVM_SETIMAGELIST = 4099,   /* lParam image list (0: none); returns the previous */
    EX_LVM_SETITEM = 4102,        /* lParam const ExReportCell* (row, column, text);
                                     returns 1, or 0 for a missing row or column */
    EX_LVM_INSERTITEM = 4103,     /* lParam const ExReportRow* (NULL: appended, no
                                     image); returns the new row */
    EX_LVM_INSERTITEMS = 4911,    /* wParam n, lParam const ExReportRowCells* of n rows:
                                     appends them after the last row with one repaint,
                                     where n EX_LVM_INSERTITEM and EX_LVM_SETITEM calls
                                     cost a repaint and a scroll-bar update each. Returns
                                     the number of the first new row, 0 when n is 0 */
    EX_LVM_DELETEITEM = 4104,     /* lParam row (wParam ignored); returns 1 or 0. Each
                                     call moves the rows after it: to remove many rows
                                     use EX_LVM_DELETEITEMS */
    EX_LVM_DELETEITEMS = 4910,    /* wParam n, lParam const int32_t* of n row numbers in
                                     ascending order: removes those rows in one pass,
                                     linear in the row count. A number out of range or
                                     not above the one before it is ignored. States and
                                     the mark move with their rows; a removed mark
                                     becomes 0. Returns the number of rows removed */
    EX_LVM_INSERTCOLUMN = 4123,   /* lParam const ExReportColumn*; returns the new column */
    EX_LVM_GETITEMTEXT = 4141,    /* wParam row (0: ExReportCell.row), lParam ExReportCell*
                                     (column, buffer, capacity): copies the text, cut to
                                     fit and NUL terminated; returns its full length in
                                     UTF-16 units, 0 for a missing cell */
    EX_LVM_DELETEALLITEMS = 4015, /* removes every row; returns 1 */
    EX_LVM_SETCOLUMNWIDTH = 4907, /* wParam column, lParam width in pixels; returns 1 or 0 */
    EX_LVM_GETCOLUMNCOUNT = 4909, /* returns the number of columns */
    EX_LVM_SETSORTMARK = 4912     /* wParam column (0: none), lParam 1 ascending, -1
                                     descending: the header shows an arrow on that
                                     column's title; returns 1, or 0 for a missing column */
};

/* EX_NM_CALCSIZE: the list's client width and the row height. */
typedef struct ExListSize {
    int32_t width;
    int32_t height;
} ExListSize;

/* EX_NM_CUSTOMDRAW: one row to draw; valid during the notification. */
typedef struct ExListDraw {
    ExHandle canvas; /* the list's canvas, clipped to the row */
    uint32_t state;  /* EX_LVIS_* bits of the row */
    ExRect rect;     /* the row, client coordinates (may start above the top) */
    int32_t item;    /* the row number */
    int32_t style;   /* the list's style */
} ExListDraw;

/* EX_LVN_GETINFOTIP: the row under the pointer; valid during the notification. */
typedef struct ExListTip {
    int32_t item;     /* the row number */
    int32_t column;   /* report list: the column under the pointer; "ListView": 0 */
    ExRect rect;      /* the row (report list: the cell), client coordinates; the
                         tooltip goes when the pointer leaves it */
    char16_t* buffer; /* the text to show, NUL terminated */
    int32_t capacity; /* UTF-16 units in buffer, the NUL included */
} ExListTip;

/* EX_LVM_INSERTCOLUMN */
typedef struct ExReportColumn {
    const char16_t* title;
    int32_t width;      /* pixels */
    int32_t textFormat; /* EX_DT_* bits of the column's cells and title; -1: 0x24 */
    ExArgb textColor;   /* the cells' text; 0: colour slot 2 */
    int32_t insertAt;   /* before this column; 0 or past the end appends */
} ExReportColumn;

/* EX_LVM_INSERTITEM */
typedef struct ExReportRow {
    int32_t insertAt; /* before this row; 0 or past the end appends */
    int32_t image;    /* index in the image list; 0 none */
} ExReportRow;

/* EX_LVM_INSERTITEMS: one row with its cells */
typedef struct ExReportRowCells {
    int32_t image;                /* index in the image list; 0 none */
    int32_t cellCount;            /* texts in cells, for columns 1 to cellCount */
    const char16_t* const* cells; /* NUL terminated; a NULL text is "" */
    ExArgb textColor;             /* the row's cell text; 0: each column's colour */
} ExReportRowCells;

/* EX_LVM_SETITEM and EX_LVM_GETITEMTEXT */
typedef struct ExReportCell {
    int32_t row;
    int32_t column;
    const char16_t* text; /* EX_LVM_SETITEM: NUL terminated; NULL writes "" */
    char16_t* buffer;     /* EX_LVM_GETITEMTEXT: receives the text (may be NULL) */
    int32_t capacity;     /* UTF-16 units in buffer, the NUL included */
} ExReportCell;

/* ==== End of the list classes' section ==== */

#ifdef __cplusplus
}
#endif

#endif /* EXDUI_EXDUI_H */
