#include "platform/message_box.h"

#include <QMessageBox>

namespace MessageBox {

namespace {
Answerer &answerer()
{
    static Answerer a;
    return a;
}
} // namespace

void setAnswerer(Answerer a)
{
    answerer() = std::move(a);
}

Answer show(QWidget *owner, const Request &request)
{
    if (answerer())
        return answerer()(request);
    QMessageBox box(owner);
    box.setWindowTitle(request.title);
    box.setText(request.text);
    switch (request.icon) {
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::None: break;
    }
    if (request.buttons == Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return Answer::Ok;
}

} // namespace MessageBox
