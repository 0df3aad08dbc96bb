#pragma once

// The standard controls: class names, styles, messages and notification
// codes with the platform's values, and the one call that registers them.

#include <platform/Types.h>
#include <platform/window/Messages.h>

namespace platform {

// Registers "BUTTON", "EDIT", "COMBOBOX", "ComboLBox", "STATIC",
// "msctls_updown32", "msctls_statusbar32" and "SCROLLBAR". Safe to call
// more than once.
void register_standard_controls();

constexpr const char* WC_BUTTON = "BUTTON";
constexpr const char* WC_EDIT = "EDIT";
constexpr const char* WC_COMBOBOX = "COMBOBOX";
constexpr const char* WC_COMBOLBOX = "ComboLBox";
constexpr const char* WC_STATIC = "STATIC";
constexpr const char* UPDOWN_CLASS = "msctls_updown32";
constexpr const char* STATUSCLASSNAME = "msctls_statusbar32";
constexpr const char* WC_SCROLLBAR = "SCROLLBAR";

// ---- Brushes: what WM_CTLCOLOR* answers. A brush is a solid colour. ----
struct BrushTag;
using HBRUSH = BrushTag*;
HBRUSH create_solid_brush(std::uint32_t colorref);
// False for a null brush; otherwise the brush's colour.
bool brush_color(HBRUSH brush, std::uint32_t& colorref);

// ---- Notifications through WM_NOTIFY ----
struct NMHDR {
    HWND hwndFrom;
    std::uintptr_t idFrom;
    UINT code;
};

// ---- Buttons ----
constexpr std::uint32_t BS_PUSHBUTTON = 0x0000;
constexpr std::uint32_t BS_DEFPUSHBUTTON = 0x0001;
constexpr std::uint32_t BS_CHECKBOX = 0x0002;
constexpr std::uint32_t BS_AUTOCHECKBOX = 0x0003;
constexpr std::uint32_t BS_RADIOBUTTON = 0x0004;
constexpr std::uint32_t BS_3STATE = 0x0005;
constexpr std::uint32_t BS_AUTO3STATE = 0x0006;
constexpr std::uint32_t BS_GROUPBOX = 0x0007;
constexpr std::uint32_t BS_AUTORADIOBUTTON = 0x0009;
constexpr std::uint32_t BS_OWNERDRAW = 0x000B;
constexpr std::uint32_t BS_TYPEMASK = 0x000F;
constexpr std::uint32_t BS_LEFTTEXT = 0x0020;
constexpr std::uint32_t BS_ICON = 0x0040;
constexpr std::uint32_t BS_BITMAP = 0x0080;
constexpr std::uint32_t BS_LEFT = 0x0100;
constexpr std::uint32_t BS_RIGHT = 0x0200;
constexpr std::uint32_t BS_CENTER = 0x0300;
constexpr std::uint32_t BS_TOP = 0x0400;
constexpr std::uint32_t BS_BOTTOM = 0x0800;
constexpr std::uint32_t BS_VCENTER = 0x0C00;
constexpr std::uint32_t BS_PUSHLIKE = 0x1000;
constexpr std::uint32_t BS_MULTILINE = 0x2000;
constexpr std::uint32_t BS_NOTIFY = 0x4000;
constexpr std::uint32_t BS_FLAT = 0x8000;

constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;
constexpr UINT BM_GETSTATE = 0x00F2;
constexpr UINT BM_SETSTATE = 0x00F3;
constexpr UINT BM_SETSTYLE = 0x00F4;
constexpr UINT BM_CLICK = 0x00F5;
constexpr UINT BM_GETIMAGE = 0x00F6;
constexpr UINT BM_SETIMAGE = 0x00F7;

constexpr WPARAM BST_UNCHECKED = 0x0000;
constexpr WPARAM BST_CHECKED = 0x0001;
constexpr WPARAM BST_INDETERMINATE = 0x0002;
constexpr WPARAM BST_PUSHED = 0x0004;
constexpr WPARAM BST_FOCUS = 0x0008;
constexpr WPARAM BST_HOT = 0x0200;

constexpr WPARAM IMAGE_BITMAP = 0;
constexpr WPARAM IMAGE_ICON = 1;

constexpr UINT BN_CLICKED = 0;
constexpr UINT BN_DBLCLK = 5;
constexpr UINT BN_SETFOCUS = 6;
constexpr UINT BN_KILLFOCUS = 7;

// Owner drawing (BS_OWNERDRAW): WM_DRAWITEM carries this record.
constexpr UINT ODT_BUTTON = 4;
constexpr UINT ODA_DRAWENTIRE = 0x0001;
constexpr UINT ODA_SELECT = 0x0002;
constexpr UINT ODA_FOCUS = 0x0004;
constexpr UINT ODS_SELECTED = 0x0001;
constexpr UINT ODS_DISABLED = 0x0004;
constexpr UINT ODS_FOCUS = 0x0010;
class Canvas;
struct DrawItemStruct {
    UINT CtlType;
    UINT CtlID;
    UINT itemID;
    UINT itemAction;
    UINT itemState;
    HWND hwndItem;
    Canvas* hDC;
    Rect rcItem;
    std::uintptr_t itemData;
};

// ---- Edit boxes ----
constexpr std::uint32_t ES_LEFT = 0x0000;
constexpr std::uint32_t ES_CENTER = 0x0001;
constexpr std::uint32_t ES_RIGHT = 0x0002;
constexpr std::uint32_t ES_MULTILINE = 0x0004;
constexpr std::uint32_t ES_UPPERCASE = 0x0008;
constexpr std::uint32_t ES_LOWERCASE = 0x0010;
constexpr std::uint32_t ES_PASSWORD = 0x0020;
constexpr std::uint32_t ES_AUTOVSCROLL = 0x0040;
constexpr std::uint32_t ES_AUTOHSCROLL = 0x0080;
constexpr std::uint32_t ES_NOHIDESEL = 0x0100;
constexpr std::uint32_t ES_READONLY = 0x0800;
constexpr std::uint32_t ES_WANTRETURN = 0x1000;
constexpr std::uint32_t ES_NUMBER = 0x2000;

constexpr UINT EM_GETSEL = 0x00B0;
constexpr UINT EM_SETSEL = 0x00B1;
constexpr UINT EM_SCROLLCARET = 0x00B7;
constexpr UINT EM_GETMODIFY = 0x00B8;
constexpr UINT EM_SETMODIFY = 0x00B9;
constexpr UINT EM_GETLINECOUNT = 0x00BA;
constexpr UINT EM_LINEINDEX = 0x00BB;
constexpr UINT EM_LINELENGTH = 0x00C1;
constexpr UINT EM_REPLACESEL = 0x00C2;
constexpr UINT EM_GETLINE = 0x00C4;
constexpr UINT EM_LIMITTEXT = 0x00C5;
constexpr UINT EM_SETLIMITTEXT = 0x00C5;
constexpr UINT EM_CANUNDO = 0x00C6;
constexpr UINT EM_UNDO = 0x00C7;
constexpr UINT EM_LINEFROMCHAR = 0x00C9;
constexpr UINT EM_GETFIRSTVISIBLELINE = 0x00CE;
constexpr UINT EM_EMPTYUNDOBUFFER = 0x00CD;
constexpr UINT EM_SETPASSWORDCHAR = 0x00CC;
constexpr UINT EM_GETPASSWORDCHAR = 0x00D2;
constexpr UINT EM_SETREADONLY = 0x00CF;
constexpr UINT EM_GETLIMITTEXT = 0x00D5;

constexpr UINT EN_SETFOCUS = 0x0100;
constexpr UINT EN_KILLFOCUS = 0x0200;
constexpr UINT EN_CHANGE = 0x0300;
constexpr UINT EN_UPDATE = 0x0400;
constexpr UINT EN_ERRSPACE = 0x0500;
constexpr UINT EN_MAXTEXT = 0x0501;
constexpr UINT EN_HSCROLL = 0x0601;
constexpr UINT EN_VSCROLL = 0x0602;

// The limit an edit box has when none (or 0) is set.
constexpr std::size_t EDIT_DEFAULT_LIMIT_SINGLE = 0x7FFFFFFE;
constexpr std::size_t EDIT_DEFAULT_LIMIT_MULTI = 0xFFFFFFFF;

// ---- Combo boxes and their lists ----
constexpr std::uint32_t CBS_SIMPLE = 0x0001;
constexpr std::uint32_t CBS_DROPDOWN = 0x0002;
constexpr std::uint32_t CBS_DROPDOWNLIST = 0x0003;
constexpr std::uint32_t CBS_AUTOHSCROLL = 0x0040;
constexpr std::uint32_t CBS_OEMCONVERT = 0x0080;
constexpr std::uint32_t CBS_SORT = 0x0100;
constexpr std::uint32_t CBS_HASSTRINGS = 0x0200;
constexpr std::uint32_t CBS_NOINTEGRALHEIGHT = 0x0400;
constexpr std::uint32_t CBS_DISABLENOSCROLL = 0x0800;
constexpr std::uint32_t CBS_UPPERCASE = 0x2000;
constexpr std::uint32_t CBS_LOWERCASE = 0x4000;

constexpr UINT CB_GETEDITSEL = 0x0140;
constexpr UINT CB_LIMITTEXT = 0x0141;
constexpr UINT CB_SETEDITSEL = 0x0142;
constexpr UINT CB_ADDSTRING = 0x0143;
constexpr UINT CB_DELETESTRING = 0x0144;
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CB_GETLBTEXT = 0x0148;
constexpr UINT CB_GETLBTEXTLEN = 0x0149;
constexpr UINT CB_INSERTSTRING = 0x014A;
constexpr UINT CB_RESETCONTENT = 0x014B;
constexpr UINT CB_FINDSTRING = 0x014C;
constexpr UINT CB_SELECTSTRING = 0x014D;
constexpr UINT CB_SETCURSEL = 0x014E;
constexpr UINT CB_SHOWDROPDOWN = 0x014F;
constexpr UINT CB_GETITEMDATA = 0x0150;
constexpr UINT CB_SETITEMDATA = 0x0151;
constexpr UINT CB_GETDROPPEDCONTROLRECT = 0x0152;
constexpr UINT CB_SETITEMHEIGHT = 0x0153;
constexpr UINT CB_GETITEMHEIGHT = 0x0154;
constexpr UINT CB_GETDROPPEDSTATE = 0x0157;
constexpr UINT CB_FINDSTRINGEXACT = 0x0158;

constexpr LRESULT CB_OKAY = 0;
constexpr LRESULT CB_ERR = -1;
constexpr LRESULT CB_ERRSPACE = -2;
constexpr LRESULT LB_OKAY = 0;
constexpr LRESULT LB_ERR = -1;

constexpr UINT CBN_ERRSPACE = static_cast<UINT>(-1);
constexpr UINT CBN_SELCHANGE = 1;
constexpr UINT CBN_DBLCLK = 2;
constexpr UINT CBN_SETFOCUS = 3;
constexpr UINT CBN_KILLFOCUS = 4;
constexpr UINT CBN_EDITCHANGE = 5;
constexpr UINT CBN_EDITUPDATE = 6;
constexpr UINT CBN_DROPDOWN = 7;
constexpr UINT CBN_CLOSEUP = 8;
constexpr UINT CBN_SELENDOK = 9;
constexpr UINT CBN_SELENDCANCEL = 10;

// ---- Static text ----
constexpr std::uint32_t SS_LEFT = 0x0000;
constexpr std::uint32_t SS_CENTER = 0x0001;
constexpr std::uint32_t SS_RIGHT = 0x0002;
constexpr std::uint32_t SS_ICON = 0x0003;
constexpr std::uint32_t SS_BLACKRECT = 0x0004;
constexpr std::uint32_t SS_SIMPLE = 0x000B;
constexpr std::uint32_t SS_LEFTNOWORDWRAP = 0x000C;
constexpr std::uint32_t SS_BITMAP = 0x000E;
constexpr std::uint32_t SS_TYPEMASK = 0x001F;
constexpr std::uint32_t SS_NOPREFIX = 0x0080;
constexpr std::uint32_t SS_NOTIFY = 0x0100;
constexpr std::uint32_t SS_CENTERIMAGE = 0x0200;
constexpr std::uint32_t SS_SUNKEN = 0x1000;
constexpr std::uint32_t SS_ENDELLIPSIS = 0x4000;

constexpr UINT STM_SETICON = 0x0170;
constexpr UINT STM_GETICON = 0x0171;
constexpr UINT STM_SETIMAGE = 0x0172;
constexpr UINT STM_GETIMAGE = 0x0173;
constexpr UINT STN_CLICKED = 0;
constexpr UINT STN_DBLCLK = 1;

// ---- Up-down controls ----
constexpr std::uint32_t UDS_WRAP = 0x0001;
constexpr std::uint32_t UDS_SETBUDDYINT = 0x0002;
constexpr std::uint32_t UDS_ALIGNRIGHT = 0x0004;
constexpr std::uint32_t UDS_ALIGNLEFT = 0x0008;
constexpr std::uint32_t UDS_AUTOBUDDY = 0x0010;
constexpr std::uint32_t UDS_ARROWKEYS = 0x0020;
constexpr std::uint32_t UDS_HORZ = 0x0040;
constexpr std::uint32_t UDS_NOTHOUSANDS = 0x0080;
constexpr std::uint32_t UDS_HOTTRACK = 0x0100;

constexpr UINT UDM_SETRANGE = WM_USER + 101;
constexpr UINT UDM_GETRANGE = WM_USER + 102;
constexpr UINT UDM_SETPOS = WM_USER + 103;
constexpr UINT UDM_GETPOS = WM_USER + 104;
constexpr UINT UDM_SETBUDDY = WM_USER + 105;
constexpr UINT UDM_GETBUDDY = WM_USER + 106;
constexpr UINT UDM_SETACCEL = WM_USER + 107;
constexpr UINT UDM_GETACCEL = WM_USER + 108;
constexpr UINT UDM_SETBASE = WM_USER + 109;
constexpr UINT UDM_GETBASE = WM_USER + 110;
constexpr UINT UDM_SETRANGE32 = WM_USER + 111;
constexpr UINT UDM_GETRANGE32 = WM_USER + 112;
constexpr UINT UDM_SETPOS32 = WM_USER + 113;
constexpr UINT UDM_GETPOS32 = WM_USER + 114;

constexpr UINT UDN_FIRST = static_cast<UINT>(-721);
constexpr UINT UDN_DELTAPOS = UDN_FIRST - 1;
struct NMUPDOWN {
    NMHDR hdr;
    int iPos;
    int iDelta;
};

// ---- Scroll bars ----
// A "SCROLLBAR" control, and the standard bars a window's WS_VSCROLL and
// WS_HSCROLL give it, tell their owner about the user's moves with
// WM_VSCROLL / WM_HSCROLL (LOWORD(wParam) the code, HIWORD the 16-bit
// position of SB_THUMBTRACK and SB_THUMBPOSITION, lParam the control or
// null for a standard bar). They never move their own position: the owner
// answers by setting it. An up-down control uses the same codes.
constexpr int SB_LINEUP = 0;
constexpr int SB_LINELEFT = 0;
constexpr int SB_LINEDOWN = 1;
constexpr int SB_LINERIGHT = 1;
constexpr int SB_PAGEUP = 2;
constexpr int SB_PAGELEFT = 2;
constexpr int SB_PAGEDOWN = 3;
constexpr int SB_PAGERIGHT = 3;
constexpr int SB_THUMBPOSITION = 4;
constexpr int SB_THUMBTRACK = 5;
constexpr int SB_TOP = 6;
constexpr int SB_LEFT = 6;
constexpr int SB_BOTTOM = 7;
constexpr int SB_RIGHT = 7;
constexpr int SB_ENDSCROLL = 8;

// Which bar a call means.
constexpr int SB_HORZ = 0;
constexpr int SB_VERT = 1;
constexpr int SB_CTL = 2;
constexpr int SB_BOTH = 3;

constexpr std::uint32_t SBS_HORZ = 0x0000;
constexpr std::uint32_t SBS_VERT = 0x0001;

constexpr UINT SIF_RANGE = 0x0001;
constexpr UINT SIF_PAGE = 0x0002;
constexpr UINT SIF_POS = 0x0004;
constexpr UINT SIF_DISABLENOSCROLL = 0x0008;
constexpr UINT SIF_TRACKPOS = 0x0010;
constexpr UINT SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

struct ScrollInfo {
    UINT cbSize = sizeof(ScrollInfo);
    UINT fMask = 0;
    int nMin = 0;
    int nMax = 0;
    UINT nPage = 0;
    int nPos = 0;
    int nTrackPos = 0;
};

constexpr UINT SBM_SETPOS = 0x00E0;
constexpr UINT SBM_GETPOS = 0x00E1;
constexpr UINT SBM_SETRANGE = 0x00E2;
constexpr UINT SBM_GETRANGE = 0x00E3;
constexpr UINT SBM_SETRANGEREDRAW = 0x00E6;
constexpr UINT SBM_SETSCROLLINFO =
    0x00E9; // wParam redraw, lParam ScrollInfo*; answers the position
constexpr UINT SBM_GETSCROLLINFO = 0x00EA; // lParam ScrollInfo*

// The calls a window's owner makes on a bar: `bar` is SB_CTL for a
// "SCROLLBAR" control (hwnd is the control) or SB_VERT / SB_HORZ for the
// window's standard bars. set_scroll_info answers the new position.
int set_scroll_info(HWND hwnd, int bar, const ScrollInfo& info, bool redraw = true);
bool get_scroll_info(HWND hwnd, int bar, ScrollInfo& info);
int set_scroll_pos(HWND hwnd, int bar, int pos, bool redraw = true);
int get_scroll_pos(HWND hwnd, int bar);
bool set_scroll_range(HWND hwnd, int bar, int min, int max, bool redraw = true);

// A view that scrolls: it stands at `pos` of 0..`last`, shows `page`
// positions at once, and a line step moves it `line` positions.
struct ScrollView {
    int pos = 0;
    int page = 1;
    int last = 0;
    int line = 1;
};
// Where a WM_VSCROLL / WM_HSCROLL request asks the view to go, within
// 0..last: a page step moves at least one line, and SB_THUMBTRACK and
// SB_THUMBPOSITION take the track position of the bar that sent the
// request (`hwnd` and `bar` as for get_scroll_info). -1 for SB_ENDSCROLL
// and the codes that move nothing.
int scroll_request_target(HWND hwnd, int bar, int code, const ScrollView& view);

// ---- Status bars ----
constexpr std::uint32_t SBARS_SIZEGRIP = 0x0100;
constexpr std::uint32_t SBARS_TOOLTIPS = 0x0800;
constexpr std::uint32_t CCS_TOP = 0x0001;
constexpr std::uint32_t CCS_BOTTOM = 0x0003;
constexpr std::uint32_t CCS_NORESIZE = 0x0004;

constexpr UINT SB_SETTEXTA = WM_USER + 1;
constexpr UINT SB_GETTEXTA = WM_USER + 2;
constexpr UINT SB_GETTEXTLENGTHA = WM_USER + 3;
constexpr UINT SB_SETPARTS = WM_USER + 4;
constexpr UINT SB_GETPARTS = WM_USER + 6;
constexpr UINT SB_GETBORDERS = WM_USER + 7;
constexpr UINT SB_SETMINHEIGHT = WM_USER + 8;
constexpr UINT SB_SIMPLE = WM_USER + 9;
constexpr UINT SB_GETRECT = WM_USER + 10;
constexpr UINT SB_SETTIPTEXTA = WM_USER + 16;
constexpr UINT SB_GETTIPTEXTA = WM_USER + 18;
constexpr UINT SB_SETICON = WM_USER + 15;

constexpr UINT SBT_OWNERDRAW = 0x1000;
constexpr UINT SBT_NOBORDERS = 0x0100;
constexpr UINT SBT_POPOUT = 0x0200;
constexpr UINT SBT_RTLREADING = 0x0400;

} // namespace platform
