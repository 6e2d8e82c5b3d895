#pragma once

#include <windows.h>

class CCmdTarget;

// One row of a class's message table. A row answers one window message, or, for
// WM_COMMAND, a range of command ids with one notification code. The handler is a
// small function made by the ON_... macros that unpacks wParam and lParam and calls
// the member.
struct MessageMapEntry {
    UINT message;
    UINT code;
    UINT firstId;
    UINT lastId;
    LRESULT (*handler)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);
};

// A class's table and the way to its base class's table.
struct MessageMap {
    const MessageMap* (*getBase)();
    const MessageMapEntry* entries; // ends with a row whose handler is null
};

// Base of everything that receives messages or commands through a message table.
class CCmdTarget {
public:
    CCmdTarget() = default;
    virtual ~CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    // Runs the handler of command `id` with notification `code` (0 for menus and
    // accelerators); false when no table of this class or its bases has one.
    bool OnCmdMsg(UINT id, UINT code);

protected:
    static const MessageMap* GetThisMessageMap();
    virtual const MessageMap* GetMessageMap() const;

    // The first row for `message` in this class's table or, failing that, its bases'.
    const MessageMapEntry* FindMessageEntry(UINT message) const;
    const MessageMapEntry* FindCommandEntry(UINT id, UINT code) const;
};

// A class's message table, for example:
//
//   class ViewerWnd : public CWnd {           // ViewerWnd.cpp:
//       void OnClose();                       // BEGIN_MESSAGE_MAP(ViewerWnd, CWnd)
//       void OnExit();                        // ON_WM_CLOSE()
//       void OnPreset(UINT id);               // ON_COMMAND(32774, OnExit)
//       DECLARE_MESSAGE_MAP()                 // ON_COMMAND_RANGE(701, 799, OnPreset)
//   };                                        // END_MESSAGE_MAP()
//
// Rows are searched in order, this class's table before its base's, so a row
// here hides the base's row for the same message or command. A handler may be
// a base's member named with its class (ON_COMMAND(ID_HELP, CWinApp::OnHelp)).

// In the class body.
#define DECLARE_MESSAGE_MAP()                                                                                \
protected:                                                                                                   \
    static const ::MessageMap* GetThisMessageMap();                                                          \
    const ::MessageMap* GetMessageMap() const override;

// In the class's source file: BEGIN_MESSAGE_MAP(Derived, Base) rows... END_MESSAGE_MAP()
#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                               \
    const ::MessageMap* theClass::GetMessageMap() const {                                                    \
        return GetThisMessageMap();                                                                          \
    }                                                                                                        \
    const ::MessageMap* theClass::GetThisMessageMap() {                                                      \
        using ThisClass = theClass;                                                                          \
        using TheBaseClass = baseClass;                                                                      \
        static_assert(sizeof(ThisClass) > 0, "");                                                            \
        static const ::MessageMapEntry entries[] = {

#define END_MESSAGE_MAP()                                                                                    \
    { 0, 0, 0, 0, nullptr }                                                                                  \
    }                                                                                                        \
    ;                                                                                                        \
    static const ::MessageMap map = {&TheBaseClass::GetThisMessageMap, entries};                             \
    return &map;                                                                                             \
    }

#define NARVO_MSG_THUNK(body)                                                                                \
    [](::CCmdTarget* target, WPARAM wParam, LPARAM lParam) -> LRESULT {                                      \
        (void)wParam;                                                                                        \
        (void)lParam;                                                                                        \
        ThisClass* self = static_cast<ThisClass*>(target);                                                   \
        body                                                                                                 \
    }

// void handler(): menu or accelerator command `id`, or a control's BN_CLICKED.
#define ON_COMMAND(id, memberFxn)                                                                            \
    { WM_COMMAND, 0, (id), (id), NARVO_MSG_THUNK(self->memberFxn(); return 0;) }                             \
    ,

// void handler(UINT id): every command from `first` to `last`, inclusive.
#define ON_COMMAND_RANGE(first, last, memberFxn)                                                             \
    {                                                                                                        \
        WM_COMMAND, 0, (first), (last),                                                                      \
            NARVO_MSG_THUNK(self->memberFxn(static_cast<UINT>(LOWORD(wParam))); return 0;)                   \
    }                                                                                                        \
    ,

// LRESULT handler(WPARAM, LPARAM): any message, arguments as they came.
#define ON_MESSAGE(message, memberFxn)                                                                       \
    { (message), 0, 0, 0, NARVO_MSG_THUNK(return self->memberFxn(wParam, lParam);) }                         \
    ,

#define ON_WM_CLOSE()                                                                                        \
    { WM_CLOSE, 0, 0, 0, NARVO_MSG_THUNK(self->OnClose(); return 0;) }                                       \
    ,
#define ON_WM_NCDESTROY()                                                                                    \
    { WM_NCDESTROY, 0, 0, 0, NARVO_MSG_THUNK(self->OnNcDestroy(); return 0;) }                               \
    ,
#define ON_WM_ERASEBKGND()                                                                                   \
    {                                                                                                        \
        WM_ERASEBKGND, 0, 0, 0,                                                                              \
            NARVO_MSG_THUNK(::CDC dc(reinterpret_cast<HDC>(wParam)); return self->OnEraseBkgnd(&dc);)        \
    }                                                                                                        \
    ,
#define ON_WM_SIZE()                                                                                         \
    {                                                                                                        \
        WM_SIZE, 0, 0, 0,                                                                                    \
            NARVO_MSG_THUNK(self->OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));         \
                            return 0;)                                                                       \
    }                                                                                                        \
    ,
#define ON_WM_LBUTTONDOWN()                                                                                  \
    {                                                                                                        \
        WM_LBUTTONDOWN, 0, 0, 0,                                                                             \
            NARVO_MSG_THUNK(self->OnLButtonDown(static_cast<UINT>(wParam), ::CPoint(lParam)); return 0;)     \
    }                                                                                                        \
    ,
#define ON_WM_RBUTTONDOWN()                                                                                  \
    {                                                                                                        \
        WM_RBUTTONDOWN, 0, 0, 0,                                                                             \
            NARVO_MSG_THUNK(self->OnRButtonDown(static_cast<UINT>(wParam), ::CPoint(lParam)); return 0;)     \
    }                                                                                                        \
    ,
#define ON_WM_WINDOWPOSCHANGING()                                                                            \
    {                                                                                                        \
        WM_WINDOWPOSCHANGING, 0, 0, 0,                                                                       \
            NARVO_MSG_THUNK(self->OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam)); return 0;)      \
    }                                                                                                        \
    ,
