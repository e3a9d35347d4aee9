#include "catalogue/loggedclass.h"

namespace zentrix {

int32_t TLoggedClass::DirSize() const {
    uint32_t sum = 0; // wraps like the 32-bit sum it stands for
    for (const TFileClass* f : m_fileList)
        sum += static_cast<uint32_t>(f->FileSize());
    return static_cast<int32_t>(sum);
}

} // namespace zentrix
