// The Quick Play window: plays a found link at once in the embedded player,
// under a loading notice until the player has loaded. One instance; each
// opening replaces its movie.
#pragma once

#include <QPointer>
#include <QWidget>

class EmbeddedPlayer;
class QFrame;
class QLabel;

namespace clipsnare {

class frmplay : public QWidget {
    Q_OBJECT
public:
    // Loads the window if it is not open, sets the movie address and shows it.
    static frmplay *open(const QString &movieAddress);
    // The open instance, or null.
    static frmplay *current();

    EmbeddedPlayer *WebBrowser1;
    QFrame *Picture1;
    QLabel *Label1;
    QLabel *Label2;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    frmplay();
    void centreNotice();

    static QPointer<frmplay> instance_;
};

} // namespace clipsnare
