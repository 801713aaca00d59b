// The component object runtime of the user-interface thread: initialised as a
// single-threaded apartment before the main window or the catalog exists, and
// uninitialised at exit.  Nothing to do where there is no such runtime.
#pragma once

namespace quorvel {

class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialised_ = false;
};

}  // namespace quorvel
