#include "ui/Message.h"

namespace ui {

void showMessage(QWidget* window, QMessageBox::Icon icon, const QString& title, const QString& text) {
    auto* box = new QMessageBox(icon, title, text, QMessageBox::Ok, window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();  // modal to its window only, and returns at once
}

}  // namespace ui
