#include "app/U_Info.h"

#include "app/U_deska.h"
#include "data/U_DM.h"
#include "ui/ErrorReport.h"
#include "ui/MakerInfo.h"

#include <QIcon>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>

namespace {

QLabel *addLabel(QWidget *parent, const char *name, const QString &text, const QRect &geometry) {
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(geometry);
    return label;
}

} // namespace

TfmInfo::TfmInfo(TDM &dm, Tfm_Deska &mainWindow, QWidget *parent)
    : QDialog(parent ? parent : &mainWindow), m_dm(dm), m_mainWindow(mainWindow) {
    Q_INIT_RESOURCE(about);
    setObjectName(QStringLiteral("fmInfo"));
    setWindowTitle(ui::maker::kName + QLatin1Char(' ') + ui::maker::kReleaseYear);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::WindowStaysOnTopHint);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    setFixedSize(233, 282);
    createControls();
    FormCreate();
}

void TfmInfo::createControls() {
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setAccessibleDescription(QStringLiteral("Název programu"));
    Memo1->setGeometry(0, 0, 233, 116);
    Memo1->setReadOnly(true);
    Memo1->setFocusPolicy(Qt::NoFocus);
    Memo1->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setFont(QFont(QStringLiteral("Courier"), 17, QFont::Bold));
    QPalette memoColours = Memo1->palette();
    memoColours.setColor(QPalette::Base, palette().color(QPalette::Window));
    memoColours.setColor(QPalette::Text, QColor(0, 128, 0));
    Memo1->setPalette(memoColours);
    Memo1->document()->setDefaultTextOption(QTextOption(Qt::AlignHCenter));
    Memo1->setPlainText(QStringLiteral("\n\nVIZITAR"));

    Shape1 = new QFrame(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    Shape1->setGeometry(10, 122, 212, 2);

    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setAccessibleName(QStringLiteral("Logo ") + ui::maker::kName);
    Image2->setGeometry(8, 132, 56, 46);
    Image2->setAlignment(Qt::AlignCenter);
    Image2->setPixmap(QIcon(QStringLiteral(":/about/logo.svg")).pixmap(QSize(48, 48)));

    Label8 = addLabel(this, "Label8", ui::maker::kAuthor, QRect(70, 132, 160, 16));
    Label6 = addLabel(this, "Label6", ui::maker::kEmail, QRect(70, 148, 160, 16));
    Label3 = addLabel(this, "Label3", ui::maker::kWebAddress, QRect(70, 164, 160, 16));
    QPalette blue = Label3->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    Label3->setPalette(blue);
    lVerze = addLabel(this, "lVerze", QStringLiteral("verze:"), QRect(56, 194, 177, 16));

    bbZavri = new QPushButton(QIcon(QStringLiteral(":/about/zavrit.svg")), QStringLiteral("zavřít"),
                              this);
    bbZavri->setObjectName(QStringLiteral("bbZavri"));
    bbZavri->setAccessibleName(QStringLiteral("zavřít"));
    bbZavri->setGeometry((233 - 89) / 2, 236, 89, 30);
    bbZavri->setDefault(true);
    connect(bbZavri, &QPushButton::clicked, this, &TfmInfo::bbZavriClick);
    // Escape and the close box end in QDialog's reject(), which hides the
    // window like the button does.
}

void TfmInfo::FormCreate() {
    ui::guarded([this] {
        const QString stamp = m_mainWindow.ui().stbP3->text();
        const qint64 major =
            m_dm.tNastaveni.fieldByName(QStringLiteral("VERZE_HLAVNI"))->asInteger();
        const qint64 minor =
            m_dm.tNastaveni.fieldByName(QStringLiteral("VERZE_VEDLEJSI"))->asInteger();
        lVerze->setText(QStringLiteral("verze:     %1 / %2.%3")
                            .arg(stamp, QString::number(major), QString::number(minor)));
    });
}

void TfmInfo::bbZavriClick() {
    close();
}
