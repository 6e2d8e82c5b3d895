#include "framework/CmdTarget.h"

const MessageMap* CCmdTarget::GetThisMessageMap() {
    static const MessageMapEntry entries[] = {{0, 0, 0, 0, nullptr}};
    static const MessageMap map = {nullptr, entries};
    return &map;
}

const MessageMap* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

const MessageMapEntry* CCmdTarget::FindMessageEntry(UINT message) const {
    for (const MessageMap* map = GetMessageMap(); map; map = map->getBase ? map->getBase() : nullptr) {
        for (const MessageMapEntry* entry = map->entries; entry->handler; ++entry) {
            if (entry->message == message && message != WM_COMMAND) {
                return entry;
            }
        }
    }
    return nullptr;
}

const MessageMapEntry* CCmdTarget::FindCommandEntry(UINT id, UINT code) const {
    for (const MessageMap* map = GetMessageMap(); map; map = map->getBase ? map->getBase() : nullptr) {
        for (const MessageMapEntry* entry = map->entries; entry->handler; ++entry) {
            if (entry->message == WM_COMMAND && entry->code == code && entry->firstId <= id &&
                id <= entry->lastId) {
                return entry;
            }
        }
    }
    return nullptr;
}

bool CCmdTarget::OnCmdMsg(UINT id, UINT code) {
    const MessageMapEntry* entry = FindCommandEntry(id, code);
    if (!entry) {
        return false;
    }
    entry->handler(this, MAKEWPARAM(id, code), 0);
    return true;
}
