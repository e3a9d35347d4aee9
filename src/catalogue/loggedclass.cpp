#include "catalogue/loggedclass.h"

namespace zentrix {

int64_t TLoggedClass::DirSize() const {
    int64_t sum = 0;
    for (const TFileClass* f : m_fileList)
        sum += f->FileSize();
    return sum;
}

} // namespace zentrix
