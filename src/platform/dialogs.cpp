#include "platform/dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>

namespace {

class RealDialogs final : public Dialogs {
public:
    void message(QWidget* parent, const QString& text) override {
        QMessageBox::information(parent, QApplication::applicationName(), text);
    }
    void error(QWidget* parent, const QString& text) override {
        QMessageBox::critical(parent, QApplication::applicationName(), text);
    }
    QString openFileName(QWidget* parent) override {
        return QFileDialog::getOpenFileName(parent, QString(), QString(), QString());
    }
    QString saveFileName(QWidget* parent) override {
        // Saving over an existing file replaces it without a question.
        return QFileDialog::getSaveFileName(parent, QString(), QString(), QString(), nullptr,
                                            QFileDialog::DontConfirmOverwrite);
    }
    QString logFileName(QWidget* parent) override {
        // An open dialog that also takes a name not there yet.
        QFileDialog dialog(parent);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::AnyFile);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().constFirst();
    }
    bool print(QWidget* parent, QPrinter* printer) override {
        QPrintDialog dialog(printer, parent);
        return dialog.exec() == QDialog::Accepted;
    }
};

Dialogs& realDialogs() {
    static RealDialogs dialogs;
    return dialogs;
}

} // namespace

Seam<Dialogs> dialogsSeam(realDialogs);
