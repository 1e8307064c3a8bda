#include "settings/KestraneCheckBox.h"

#include "settings/RegistryVariables.h"

#include <QSignalBlocker>

TKestraneCheckBox::TKestraneCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {}

TKestraneCheckBox::~TKestraneCheckBox() {
    if (FRegistryBoolean) {
        FRegistryBoolean->setValue(isChecked());
        FRegistryBoolean.reset();  // saves
    }
}

void TKestraneCheckBox::Loaded() {
    if (FRegistryBoolean) return;
    if (FNamedAs.isEmpty()) FNamedAs = objectName();
    FRegistryBoolean = std::make_unique<TRegistryBoolean>(FNamedAs.toStdString(), isChecked());
    // Restoring is not a user's choice: no handler hears it, whichever of
    // the box's signals (clicked, toggled, stateChanged) it is connected to.
    const QSignalBlocker quiet(this);
    setChecked(FRegistryBoolean->Value());
}
