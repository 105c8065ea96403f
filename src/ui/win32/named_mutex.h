// A named system mutex held for as long as the object lives: the first of several copies of a
// program started at once to create it runs, the others see it existed already.
#pragma once

#include <windows.h>

#include <string>

namespace aerolinker {

class NamedMutex {
public:
    explicit NamedMutex(const std::string& name);
    ~NamedMutex();
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    // Another process (or an earlier object of this one) holds a mutex of the name.
    bool ExistedAlready() const { return existedAlready_; }

private:
    HANDLE mutex_ = nullptr;
    bool existedAlready_ = false;
};

}  // namespace aerolinker
