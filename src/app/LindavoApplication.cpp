#include "app/LindavoApplication.h"

#include "app/UnexpectedError.h"

LindavoApplication::LindavoApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool LindavoApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowUnexpectedError(e);
    } catch (...) {
        ShowUnexpectedError("neznáma výnimka");
    }
    return false;
}
