#include "catalogue/loggedclass.h"

#include "catalogue/diskarena.h"
#include "catalogue/treenode.h"

#include <algorithm>

namespace zentrix {

std::unique_ptr<TLoggedClass> TLoggedClass::Make(TTreeNode* dirNode, size_t count,
                                                 size_t nameBytes) {
    static_assert(sizeof(TLoggedClass) % alignof(TFileList::Run) == 0);
    // Names too long for their record are held aside: the room may then be a
    // little large, as with TFileList::Reserve.
    const size_t room = std::min(count * sizeof(TFileClass) + nameBytes, TFileList::kMaxRunBytes);
    DiskArena* arena = dirNode->Arena();
    void* block = arena->Allocate(sizeof(TLoggedClass) + sizeof(TFileList::Run) + room);
    std::unique_ptr<TLoggedClass> record(new (block) TLoggedClass(dirNode));
    record->m_owner = reinterpret_cast<uintptr_t>(arena) | kMadeInArena;
    // The header is written even without room: it names the directory, and its
    // capacity tells the block's size.
    record->m_fileList.UseBorrowedRun(new (record->blockRun()) TFileList::Run, room, dirNode);
    return record;
}

void TLoggedClass::operator delete(TLoggedClass* record, std::destroying_delete_t) {
    DiskArena* arena = record->arena();
    if (!arena) {
        record->~TLoggedClass();
        ::operator delete(record);
        return;
    }
    // The run behind the record stays where it is even when its records were
    // handed to another list, so its header still tells the block's size.
    const size_t bytes =
        sizeof(TLoggedClass) + sizeof(TFileList::Run) + record->blockRun()->capacity;
    record->~TLoggedClass();
    arena->Free(record, bytes);
}

int64_t TLoggedClass::DirSize() const {
    int64_t sum = 0;
    for (const TFileClass* f : m_fileList)
        sum += f->FileSize();
    return sum;
}

} // namespace zentrix
