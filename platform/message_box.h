// Every modal message box of the programs goes through here, so that tests
// can answer them.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace MessageBox {

enum class Icon { None, Information, Exclamation, Critical, Question };
enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

struct Request {
    QString text;
    QString title;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
};

Answer show(QWidget *owner, const Request &request);

// Tests answer every box themselves; an empty function restores real boxes.
using Answerer = std::function<Answer(const Request &)>;
void setAnswerer(Answerer answerer);

} // namespace MessageBox
