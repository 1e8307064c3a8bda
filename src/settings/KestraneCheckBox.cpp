#include "settings/KestraneCheckBox.h"

#include "settings/RegistryVariables.h"

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
    // setChecked() emits toggled() but never clicked(): a click handler
    // only hears the user.
    setChecked(FRegistryBoolean->Value());
}
