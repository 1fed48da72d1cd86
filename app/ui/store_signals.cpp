#include "app/ui/store_signals.h"

#include <QPointer>

namespace tarrow::ui {

StoreSignals::StoreSignals(Store& store, QObject* parent) : QObject(parent), store_(store) {
    // The store keeps its observers for its whole life: this one goes quiet once the
    // adapter is gone.
    store.observe([self = QPointer<StoreSignals>(this)](StoreField field) {
        if (self) emit self->changed(field);
    });
}

}  // namespace tarrow::ui
