#pragma once

#include <memory>

namespace platform {

// Holds the backend of one platform service: the Linux backend, made on
// first use, or whatever a test put in its place.
template <class Interface, class LinuxBackend>
class ServiceSlot {
  public:
    static Interface& Get() {
        std::unique_ptr<Interface>& slot = Slot();
        if (!slot) slot = std::make_unique<LinuxBackend>();
        return *slot;
    }

    // Puts 'next' in place and returns the previous backend (tests restore it).
    static std::unique_ptr<Interface> Swap(std::unique_ptr<Interface> next) {
        std::swap(Slot(), next);
        return next;
    }

  private:
    static std::unique_ptr<Interface>& Slot() {
        static std::unique_ptr<Interface> slot;
        return slot;
    }
};

}  // namespace platform
