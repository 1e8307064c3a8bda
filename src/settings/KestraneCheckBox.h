#pragma once
// A check box that keeps its checked state between runs. It loads the
// stored state once the window has set it up (Loaded()) and saves its state
// when it is destroyed, which for a window's box means at program end.

#include <QCheckBox>
#include <QString>

#include <memory>

class TRegistryBoolean;

class TKestraneCheckBox : public QCheckBox {
    Q_OBJECT
    Q_PROPERTY(QString NamedAs READ NamedAs WRITE setNamedAs)

public:
    explicit TKestraneCheckBox(const QString& text, QWidget* parent = nullptr);
    ~TKestraneCheckBox() override;

    // The stored value's name; when empty at load time, the box's object
    // name is used.
    QString NamedAs() const { return FNamedAs; }
    void setNamedAs(const QString& name) { FNamedAs = name; }

    // Call once the window has created the box and set its name, NamedAs
    // and design-time state (the default when nothing usable is stored).
    // Loads at most once; later calls do nothing. Restoring the state emits
    // no signal, so it runs no handler of the box's.
    void Loaded();

    const TRegistryBoolean* registryBoolean() const { return FRegistryBoolean.get(); }

private:
    QString FNamedAs;
    std::unique_ptr<TRegistryBoolean> FRegistryBoolean;
};
