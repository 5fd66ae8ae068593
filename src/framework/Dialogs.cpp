#include "framework/Dialogs.h"

#include "framework/MessageDialog.h"
#include "framework/SettingsRoots.h"
#include "framework/UiHelpers.h"
#include "framework/UserSettings.h"
#include "framework/WindowPlacement.h"

#include <QApplication>
#include <QPointer>

namespace {

DialogResponder& responder()
{
    static DialogResponder r;
    return r;
}

QWidget* dialogParent()
{
    if (QWidget* w = QApplication::activeModalWidget())
        return w;
    if (QWidget* w = QApplication::activeWindow())
        return w;
    return MainWindow();
}

}  // namespace

DialogResponder setDialogResponder(DialogResponder r)
{
    DialogResponder previous = std::move(responder());
    responder() = std::move(r);
    return previous;
}

QString applicationTitle()
{
    const QString name = QGuiApplication::applicationDisplayName();
    if (!name.isEmpty())
        return name;
    if (QWidget* main = MainWindow())
        return main->windowTitle();
    return {};
}

QString dialogCaption(int type)
{
    switch (type) {
    case msg::Warning:
        return QStringLiteral("Upozornenie...");
    case msg::Error:
        return QStringLiteral("C H Y B A ...");
    case msg::Information:
        return QStringLiteral("Informácia...");
    case msg::Confirmation:
        return QStringLiteral("Potvrdenie...");
    default:
        return applicationTitle();
    }
}

QString dialogPositionKey(DialogKind kind)
{
    switch (kind) {
    case DialogKind::Red:
        return settingsroot::Kovra + QStringLiteral("\\TRedMessageDlg");
    case DialogKind::Gray:
        return settingsroot::Kovra + QStringLiteral("\\TGrayMessageDlg");
    default:
        return {};
    }
}

int showDialog(const DialogRequest& original)
{
    DialogRequest request = original;
    if (request.buttons.isEmpty())
        request.buttons = {msg::OK};

    if (responder())
        return responder()(request);

    const FocusReturn focus;
    QPointer<MessageDialog> dialog = new MessageDialog(request, dialogParent());
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);

    const QString key = dialogPositionKey(request.kind);
    if (!key.isEmpty())
        RestorePlacement(dialog, key);

    const int result = dialog->exec();
    focus.restore();
    // A dialog torn down while open (its parent closed under it) still answers.
    if (!dialog)
        return result;

    if (!key.isEmpty())
        StorePlacement(dialog, key);
    delete dialog;
    return result;
}
