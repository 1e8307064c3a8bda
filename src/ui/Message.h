#pragma once
// A message on a window that does not stop the program: it sits on the
// window until read, and the other window stays usable.

#include <QMessageBox>
#include <QString>

class QWidget;

namespace ui {

void showMessage(QWidget* window, QMessageBox::Icon icon, const QString& title, const QString& text);

}  // namespace ui
