#pragma once

#include <memory>
#include <utility>

// Puts a backend in place of one platform service for the life of the scope
// and the previous backend back at its end. 'Set' is the service's setter
// (platform::SetSound, ...), which hands back the backend it replaced;
// 'Backend' is what the test reaches through -> and *: a fake made by the
// scope, or any backend the test passes in (a null one lets the service make
// its own Linux backend on first use).
template <auto Set, class Backend = typename decltype(Set(nullptr))::element_type>
class ServiceScope {
  public:
    ServiceScope() : ServiceScope(std::make_unique<Backend>()) {}
    explicit ServiceScope(std::unique_ptr<Backend> backend)
        : backend_(backend.get()), previous_(Set(std::move(backend))) {}
    ~ServiceScope() { Set(std::move(previous_)); }
    ServiceScope(const ServiceScope&) = delete;
    ServiceScope& operator=(const ServiceScope&) = delete;

    Backend& operator*() const { return *backend_; }
    Backend* operator->() const { return backend_; }

  private:
    Backend* backend_;
    decltype(Set(nullptr)) previous_;
};
