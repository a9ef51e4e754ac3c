#pragma once

#include <QString>
#include <vector>

#include "toolkit/Types.h"

// A component with an owner. The owner frees what it owns when it is
// destroyed. When a component goes, every other component of the same owner
// and every component that asked for a free notice hears of it through
// Notification(component, opRemove), so that links to it can be dropped.
class TComponent : public TObject {
  public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    const QString& Name() const { return name_; }
    void SetName(const QString& name) { name_ = name; }
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const { return components_.at(index); }
    TComponent* FindComponent(const QString& name) const;

    // Asks to be told (through Notification) when AComponent is destroyed,
    // also when it has another owner. The notice goes both ways.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    // Called when a component of the same owner, or one this component asked
    // to hear about, is inserted or removed.
    virtual void Notification(TComponent* AComponent, TOperation Operation);

  protected:
    // Frees the owned components, last created first. A control calls it from
    // its own destructor, while its widget is still whole.
    void DestroyComponents();

  private:
    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);

    TComponent* owner_ = nullptr;
    QString name_;
    int tag_ = 0;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
};
