// The descriptor areas (XSQLDA) that describe a statement's columns and
// parameters. Used only inside the data layer.
#pragma once

#include <ibase.h>

#include <algorithm>
#include <cstddef>
#include <vector>

// An XSQLDA with room for n columns.
class Sqlda {
public:
    explicit Sqlda(int n = 1) { resize(n); }
    void resize(int n)
    {
        n = std::max(n, 1);
        memory_.assign((XSQLDA_LENGTH(n) + sizeof(std::max_align_t) - 1) / sizeof(std::max_align_t),
                       std::max_align_t{});
        get()->version = SQLDA_VERSION1;
        get()->sqln = static_cast<ISC_SHORT>(n);
    }
    XSQLDA *get() { return reinterpret_cast<XSQLDA *>(memory_.data()); }
    XSQLVAR &var(int i) { return get()->sqlvar[i]; }
    int count() { return get()->sqld; }

private:
    std::vector<std::max_align_t> memory_;
};

// Bytes per character of the column character sets the program may meet.
inline int bytesPerChar(int charset)
{
    switch (charset) {
    case 3: return 3;   // UNICODE_FSS
    case 4: return 4;   // UTF8
    default: return 1;
    }
}
