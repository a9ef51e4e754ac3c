#include <gtest/gtest.h>

#include <vector>

#include "toolkit/Component.h"

namespace {

// Records the removal notices it hears and drops its link like a real one.
class Listener : public TComponent {
  public:
    using TComponent::TComponent;
    TComponent* link = nullptr;
    std::vector<TComponent*> removed;
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation != opRemove) return;
        removed.push_back(AComponent);
        if (AComponent == link) link = nullptr;
    }
};

class Probe : public TComponent {
  public:
    Probe(TComponent* owner, std::vector<int>& log, int id)
        : TComponent(owner), log_(log), id_(id) {}
    ~Probe() override { log_.push_back(id_); }

  private:
    std::vector<int>& log_;
    int id_;
};

TEST(Component, OwnerFreesWhatItOwnsLastCreatedFirst) {
    std::vector<int> destroyed;
    {
        TComponent owner(nullptr);
        new Probe(&owner, destroyed, 1);
        new Probe(&owner, destroyed, 2);
        new Probe(&owner, destroyed, 3);
        EXPECT_EQ(owner.ComponentCount(), 3);
    }
    EXPECT_EQ(destroyed, (std::vector<int>{3, 2, 1}));
}

TEST(Component, SiblingsHearOfARemovalAndDropTheirLinks) {
    TComponent owner(nullptr);
    auto* listener = new Listener(&owner);
    auto* linked = new TComponent(&owner);
    listener->link = linked;
    delete linked;
    EXPECT_EQ(listener->link, nullptr);
    EXPECT_EQ(owner.ComponentCount(), 1);
}

TEST(Component, FreeNotificationReachesAcrossOwners) {
    TComponent ownerA(nullptr), ownerB(nullptr);
    auto* listener = new Listener(&ownerA);
    auto* other = new TComponent(&ownerB);
    listener->link = other;
    listener->FreeNotification(other);
    delete other;
    EXPECT_EQ(listener->link, nullptr);
}

TEST(Component, NoticeToAComponentThatWentFirstIsNotSent) {
    TComponent owner(nullptr);
    auto* other = new TComponent(nullptr);
    {
        Listener listener(&owner);
        listener.FreeNotification(other);
    }
    delete other;  // must not call into the destroyed listener
    SUCCEED();
}

TEST(Component, FindComponentIgnoresCase) {
    TComponent owner(nullptr);
    auto* child = new TComponent(&owner);
    child->SetName("bNext");
    EXPECT_EQ(owner.FindComponent("BNEXT"), child);
    EXPECT_EQ(owner.FindComponent("bprev"), nullptr);
}

}  // namespace
