#include "UnitAbout.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

#include "ui_UnitAbout.h"

namespace zv {

namespace {

// The program's mark: a page with a pen stroke.
QPixmap Mark()
{
    QPixmap Picture(96, 96);
    Picture.fill(Qt::transparent);
    QPainter P(&Picture);
    P.setRenderHint(QPainter::Antialiasing);
    P.setPen(QPen(QColor(40, 60, 110), 2));
    P.setBrush(Qt::white);
    P.drawRect(18, 8, 56, 76);
    P.setPen(QPen(QColor(150, 160, 180), 2));
    for (int Y = 22; Y < 72; Y += 10) P.drawLine(26, Y, 66, Y);
    P.setPen(Qt::NoPen);
    P.setBrush(QColor(200, 70, 40));
    P.drawPolygon(QPolygon({{48, 74}, {84, 30}, {90, 36}, {54, 80}}));
    return Picture;
}

}  // namespace

TFormAbout::TFormAbout(QWidget* Parent) : QDialog(Parent), Form(std::make_unique<Ui::FormAbout>())
{
    Form->setupUi(this);
    Form->Picture->setPixmap(Mark());
    connect(Form->Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    for (QWidget* W : {static_cast<QWidget*>(Form->Picture), Form->Panel,
                       static_cast<QWidget*>(Form->LinkMail), static_cast<QWidget*>(Form->LinkSite)}) {
        W->setMouseTracking(true);
        W->installEventFilter(this);
    }
    Highlight(0);
}

TFormAbout::~TFormAbout() = default;

QLabel* TFormAbout::Link(int Tag) const { return Tag == 1 ? Form->LinkMail : Form->LinkSite; }

bool TFormAbout::Highlighted(int Tag) const
{
    return Link(Tag)->palette().color(QPalette::WindowText) == QColor(Qt::blue);
}

void TFormAbout::Highlight(int Tag)
{
    for (int K : {1, 2}) {
        QPalette Pal = Link(K)->palette();
        Pal.setColor(QPalette::WindowText, K == Tag ? QColor(Qt::blue) : QColor(Qt::gray));
        Link(K)->setPalette(Pal);
    }
}

bool TFormAbout::eventFilter(QObject* Watched, QEvent* Event)
{
    const int Tag = Watched->property("tag").toInt();
    if (Event->type() == QEvent::MouseMove || Event->type() == QEvent::Enter) {
        Highlight(Tag);
    } else if (Event->type() == QEvent::MouseButtonRelease && Tag > 0 &&
               static_cast<QMouseEvent*>(Event)->button() == Qt::LeftButton) {
        if (OpenUrl) OpenUrl(QUrl(QString::fromLatin1(Tag == 1 ? MailUrl : SiteUrl)));
        return true;
    }
    return QDialog::eventFilter(Watched, Event);
}

}  // namespace zv
