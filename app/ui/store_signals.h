#pragma once
// The store announces its writes through plain callbacks; the views listen to Qt signals.
// One of these per store is enough; it may be destroyed before the store.

#include <QObject>

#include "app/model/store.h"

namespace tarrow::ui {

class StoreSignals final : public QObject {
    Q_OBJECT

  public:
    explicit StoreSignals(Store& store, QObject* parent = nullptr);
    Store& store() const { return store_; }

  signals:
    // After every write of an observable field, on the thread that wrote it (the main one).
    void changed(tarrow::StoreField field);

  private:
    Store& store_;
};

}  // namespace tarrow::ui
