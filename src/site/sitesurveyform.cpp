#include "sitesurveyform.h"

#include "filedialogs.h"
#include "messages.h"
#include "site.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

const QString kPhotoFilter =
    QStringLiteral("写真(*.jpg;*.jpeg;*.png)|*.jpg;*.jpeg;*.png|すべてのファイル(*.*)|*.*");

QLineEdit *lineEdit(QWidget *parent, const char *name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

// A row of `form` whose label (with its mnemonic) leads to `field`.
void addRow(QFormLayout *form, const QString &label, QWidget *field)
{
    auto *caption = new QLabel(label, form->parentWidget());
    caption->setBuddy(field);
    form->addRow(caption, field);
}

void addRow(QFormLayout *form, const QString &label, QLayout *fields, QWidget *buddy)
{
    auto *caption = new QLabel(label, form->parentWidget());
    caption->setBuddy(buddy);
    form->addRow(caption, fields);
}

// A text that cannot be taken stays in its field, red, with why in its tooltip; the site keeps
// the last value that could be taken.
void markRefused(QLineEdit *edit, const QString &why)
{
    if (why.isEmpty()) {
        edit->setPalette(QPalette());
    } else {
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Text, Qt::red);
        edit->setPalette(palette);
    }
    edit->setToolTip(why);
}

void setText(QLineEdit *edit, const QString &text)
{
    if (edit->text() != text)
        edit->setText(text);
    markRefused(edit, {});
}

QString photoItemText(const TSitePhoto &photo)
{
    const QString name = QFileInfo(photo.File).fileName();
    return photo.Caption.isEmpty() ? name : QStringLiteral("%1（%2）").arg(photo.Caption, name);
}

} // namespace

TSiteSurveyForm::TSiteSurveyForm(TSiteData &data, QWidget *parent) : QWidget(parent), m_data(data)
{
    setObjectName(QStringLiteral("SiteSurveyForm"));
    auto *form = new QFormLayout(this);
    ClientEdit = lineEdit(this, "ClientEdit");
    AddressEdit = lineEdit(this, "AddressEdit");
    CompanyEdit = lineEdit(this, "CompanyEdit");
    EngineerEdit = lineEdit(this, "EngineerEdit");
    ReportDateEdit = lineEdit(this, "ReportDateEdit");
    ReportDateEdit->setPlaceholderText(QStringLiteral("空欄: 印刷する日"));
    ReportDateEdit->setMaxLength(10);
    BuildingEdit = lineEdit(this, "BuildingEdit");
    BuildingEdit->setPlaceholderText(QStringLiteral("例: 木造2階建て"));
    FoundationEdit = lineEdit(this, "FoundationEdit");
    FoundationEdit->setPlaceholderText(QStringLiteral("例: べた基礎"));
    EquipmentCombo = new QComboBox(this);
    EquipmentCombo->setObjectName(QStringLiteral("EquipmentCombo"));
    EquipmentCombo->addItem(QStringLiteral("（未設定）"));
    for (const TSurveyEquipment kind :
         {TSurveyEquipment::Manual, TSurveyEquipment::SemiAuto, TSurveyEquipment::Auto})
        EquipmentCombo->addItem(SurveyEquipmentText(kind));
    EquipmentNameEdit = lineEdit(this, "EquipmentNameEdit");
    FindingsEdit = new QPlainTextEdit(this);
    FindingsEdit->setObjectName(QStringLiteral("FindingsEdit"));
    // Tab leaves the findings, as in every other field; line breaks are typed with Enter.
    FindingsEdit->setTabChangesFocus(true);

    addRow(form, QStringLiteral("依頼者(&C)"), ClientEdit);
    addRow(form, QStringLiteral("調査場所(&A)"), AddressEdit);
    addRow(form, QStringLiteral("調査会社(&Y)"), CompanyEdit);
    addRow(form, QStringLiteral("調査担当者(&E)"), EngineerEdit);
    addRow(form, QStringLiteral("報告日(&R)"), ReportDateEdit);
    addRow(form, QStringLiteral("建物概要(&U)"), BuildingEdit);
    addRow(form, QStringLiteral("予定基礎(&N)"), FoundationEdit);
    addRow(form, QStringLiteral("試験装置(&Q)"), EquipmentCombo);
    addRow(form, QStringLiteral("機種名(&K)"), EquipmentNameEdit);
    addRow(form, QStringLiteral("所見(&G)"), FindingsEdit);

    const struct
    {
        QLineEdit *Edit;
        QString TSiteSurvey::*Field;
    } texts[] = {{ClientEdit, &TSiteSurvey::Client},
                 {AddressEdit, &TSiteSurvey::Address},
                 {CompanyEdit, &TSiteSurvey::Company},
                 {EngineerEdit, &TSiteSurvey::Engineer},
                 {BuildingEdit, &TSiteSurvey::Building},
                 {FoundationEdit, &TSiteSurvey::Foundation},
                 {EquipmentNameEdit, &TSiteSurvey::EquipmentName}};
    for (const auto &text : texts) {
        connect(text.Edit, &QLineEdit::textEdited, this,
                [this, field = text.Field](const QString &value) {
                    m_data.Site.Survey.*field = value;
                    edited();
                });
    }
    connect(ReportDateEdit, &QLineEdit::textEdited, this, &TSiteSurveyForm::ReportDateEditChange);
    connect(ReportDateEdit, &QLineEdit::editingFinished, this, [this] {
        // A date that could not be taken gives way to the one in use.
        const TSiteSurvey &survey = m_data.Site.Survey;
        setText(ReportDateEdit,
                survey.ReportDate ? survey.ReportDate->toString(Qt::ISODate) : QString());
    });
    connect(EquipmentCombo, &QComboBox::activated, this, [this](int index) {
        m_data.Site.Survey.Equipment = TSurveyEquipment(index);
        edited();
    });
    connect(FindingsEdit, &QPlainTextEdit::textChanged, this, [this] {
        m_data.Site.Survey.Findings = FindingsEdit->toPlainText();
        edited();
    });
    Reload();
}

void TSiteSurveyForm::Reload()
{
    const TSiteSurvey &survey = m_data.Site.Survey;
    if (survey == m_shown)
        return;
    m_shown = survey;
    setText(ClientEdit, survey.Client);
    setText(AddressEdit, survey.Address);
    setText(CompanyEdit, survey.Company);
    setText(EngineerEdit, survey.Engineer);
    setText(ReportDateEdit,
            survey.ReportDate ? survey.ReportDate->toString(Qt::ISODate) : QString());
    setText(BuildingEdit, survey.Building);
    setText(FoundationEdit, survey.Foundation);
    EquipmentCombo->setCurrentIndex(int(survey.Equipment));
    setText(EquipmentNameEdit, survey.EquipmentName);
    if (FindingsEdit->toPlainText() != survey.Findings) {
        const QSignalBlocker quiet(FindingsEdit);
        FindingsEdit->setPlainText(survey.Findings);
    }
}

void TSiteSurveyForm::edited()
{
    m_shown = m_data.Site.Survey;
    emit SiteEdited();
}

void TSiteSurveyForm::ReportDateEditChange()
{
    const QString text = ReportDateEdit->text().trimmed();
    const std::optional<QDate> date = ParseReportDate(text);
    if (!text.isEmpty() && !date) {
        markRefused(ReportDateEdit, QStringLiteral("報告日は YYYY-MM-DD で入力してください"
                                                   "（空欄: 印刷する日）"));
        return;
    }
    markRefused(ReportDateEdit, {});
    m_data.Site.Survey.ReportDate = date;
    edited();
}

TPointSurveyForm::TPointSurveyForm(TSiteData &data, QWidget *parent) : QWidget(parent), m_data(data)
{
    setObjectName(QStringLiteral("PointSurveyForm"));
    auto *layout = new QVBoxLayout(this);
    PointLabel = new QLabel(this);
    PointLabel->setObjectName(QStringLiteral("PointLabel"));
    layout->addWidget(PointLabel);
    auto *form = new QFormLayout;
    layout->addLayout(form);

    WeatherEdit = lineEdit(this, "WeatherEdit");
    WeatherEdit->setPlaceholderText(QStringLiteral("例: 晴れ"));
    TesterEdit = lineEdit(this, "TesterEdit");
    WaterCombo = new QComboBox(this);
    WaterCombo->setObjectName(QStringLiteral("WaterCombo"));
    // In the order of TWaterLevelKind.
    WaterCombo->addItems(
        {QStringLiteral("未測定"), QStringLiteral("測定した"), QStringLiteral("確認されず")});
    WaterEdit = lineEdit(this, "WaterEdit");
    WaterEdit->setPlaceholderText(QStringLiteral("例: 1.20"));
    WaterEdit->setMaxLength(8);
    auto *water = new QHBoxLayout;
    water->addWidget(WaterCombo);
    water->addWidget(WaterEdit, 1);
    water->addWidget(new QLabel(QStringLiteral("m"), this));
    EndReasonCombo = new QComboBox(this);
    EndReasonCombo->setObjectName(QStringLiteral("EndReasonCombo"));
    EndReasonCombo->addItem(QStringLiteral("（未設定）"));
    for (const TEndReason reason :
         {TEndReason::Depth, TEndReason::Refusal, TEndReason::Obstacle, TEndReason::Other})
        EndReasonCombo->addItem(EndReasonText(reason));
    // The long reason would widen the whole panel; the open list shows it whole.
    EndReasonCombo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    EndReasonCombo->setMinimumContentsLength(8);
    EndNoteEdit = lineEdit(this, "EndNoteEdit");
    EndNoteEdit->setPlaceholderText(QStringLiteral("補足"));
    auto *end = new QVBoxLayout;
    end->addWidget(EndReasonCombo);
    end->addWidget(EndNoteEdit);
    NoteEdit = lineEdit(this, "NoteEdit");

    PhotoList = new QListWidget(this);
    PhotoList->setObjectName(QStringLiteral("PhotoList"));
    PhotoList->installEventFilter(this);
    PhotoList->setToolTip(QStringLiteral("Insert: 追加　Delete: 削除"));
    AddPhotoButton = new QPushButton(QStringLiteral("追加(&H)..."), this);
    AddPhotoButton->setObjectName(QStringLiteral("AddPhotoButton"));
    RemovePhotoButton = new QPushButton(QStringLiteral("削除(&X)"), this);
    RemovePhotoButton->setObjectName(QStringLiteral("RemovePhotoButton"));
    CaptionEdit = lineEdit(this, "CaptionEdit");
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(AddPhotoButton);
    buttons->addWidget(RemovePhotoButton);
    buttons->addStretch(1);
    auto *photos = new QVBoxLayout;
    photos->addWidget(PhotoList, 1);
    photos->addLayout(buttons);

    addRow(form, QStringLiteral("天候(&W)"), WeatherEdit);
    addRow(form, QStringLiteral("試験者(&T)"), TesterEdit);
    addRow(form, QStringLiteral("孔内水位(&L)"), water, WaterCombo);
    addRow(form, QStringLiteral("終了の理由(&J)"), end, EndReasonCombo);
    addRow(form, QStringLiteral("記事(&Z)"), NoteEdit);
    addRow(form, QStringLiteral("写真(&V)"), photos, PhotoList);
    addRow(form, QStringLiteral("写真の説明(&D)"), CaptionEdit);
    // The photo's buttons after its list and caption: Tab walks the form as it reads.
    setTabOrder(PhotoList, CaptionEdit);
    setTabOrder(CaptionEdit, AddPhotoButton);
    setTabOrder(AddPhotoButton, RemovePhotoButton);

    const struct
    {
        QLineEdit *Edit;
        QString TPointSurvey::*Field;
    } texts[] = {{WeatherEdit, &TPointSurvey::Weather},
                 {TesterEdit, &TPointSurvey::Tester},
                 {EndNoteEdit, &TPointSurvey::EndNote},
                 {NoteEdit, &TPointSurvey::Note}};
    for (const auto &text : texts) {
        connect(text.Edit, &QLineEdit::textEdited, this,
                [this, field = text.Field](const QString &value) {
                    if (TPointSurvey *s = survey()) {
                        s->*field = value;
                        edited();
                    }
                });
    }
    connect(WaterCombo, &QComboBox::activated, this, &TPointSurveyForm::WaterChange);
    connect(WaterEdit, &QLineEdit::textEdited, this, &TPointSurveyForm::WaterChange);
    connect(WaterEdit, &QLineEdit::editingFinished, this, [this] {
        if (const TPointSurvey *s = survey(); s && s->Water.Kind == TWaterLevelKind::Measured)
            setText(WaterEdit, SiteMetresText(s->Water.Depth));
    });
    connect(EndReasonCombo, &QComboBox::activated, this, [this](int index) {
        if (TPointSurvey *s = survey()) {
            s->EndReason = TEndReason(index);
            edited();
        }
    });
    connect(PhotoList, &QListWidget::currentRowChanged, this,
            &TPointSurveyForm::showPhotoSelection);
    connect(AddPhotoButton, &QPushButton::clicked, this, &TPointSurveyForm::AddPhoto);
    connect(RemovePhotoButton, &QPushButton::clicked, this, &TPointSurveyForm::RemovePhoto);
    connect(CaptionEdit, &QLineEdit::textEdited, this, &TPointSurveyForm::CaptionEditChange);
    fill();
}

TPointSurvey *TPointSurveyForm::survey()
{
    return m_index >= 0 && m_index < m_data.Site.Points.size() ? &m_data.Site.Points[m_index].Survey
                                                               : nullptr;
}

void TPointSurveyForm::ShowPoint(qsizetype index)
{
    if (index < 0 || index >= m_data.Site.Points.size())
        index = -1;
    const TSiteTestPoint *point = index >= 0 ? &m_data.Site.Points.at(index) : nullptr;
    if (index == m_index && (!point || (point->Survey == m_shown && point->Label == m_shownLabel)))
        return;
    m_index = index;
    fill();
}

void TPointSurveyForm::fill()
{
    const TPointSurvey *s = survey();
    setEnabled(s != nullptr);
    const TPointSurvey shown = s ? *s : TPointSurvey();
    m_shown = shown;
    m_shownLabel = s ? m_data.Site.Points.at(m_index).Label : QString();
    PointLabel->setText(s ? QStringLiteral("測点 %1").arg(m_shownLabel)
                          : QStringLiteral("測点を選んでください"));
    setText(WeatherEdit, shown.Weather);
    setText(TesterEdit, shown.Tester);
    WaterCombo->setCurrentIndex(int(shown.Water.Kind));
    const bool measured = shown.Water.Kind == TWaterLevelKind::Measured;
    setText(WaterEdit, measured ? SiteMetresText(shown.Water.Depth) : QString());
    WaterEdit->setEnabled(measured);
    EndReasonCombo->setCurrentIndex(int(shown.EndReason));
    setText(EndNoteEdit, shown.EndNote);
    setText(NoteEdit, shown.Note);
    fillPhotos(shown.Photos.isEmpty() ? -1 : 0);
}

void TPointSurveyForm::fillPhotos(qsizetype current)
{
    const QSignalBlocker quiet(PhotoList);
    PhotoList->clear();
    const TPointSurvey *s = survey();
    for (const TSitePhoto &photo : s ? s->Photos : QList<TSitePhoto>()) {
        auto *item = new QListWidgetItem(photoItemText(photo), PhotoList);
        // A missing picture stays listed, so its caption is not lost; the report names it.
        if (QFileInfo(photo.File).isFile()) {
            item->setToolTip(QDir::toNativeSeparators(photo.File));
        } else {
            item->setForeground(Qt::red);
            item->setToolTip(QStringLiteral("ファイルがありません: ") +
                             QDir::toNativeSeparators(photo.File));
        }
    }
    PhotoList->setCurrentRow(int(current));
    showPhotoSelection();
}

void TPointSurveyForm::showPhotoSelection()
{
    const TPointSurvey *s = survey();
    const int row = PhotoList->currentRow();
    const bool chosen = s && row >= 0 && row < s->Photos.size();
    setText(CaptionEdit, chosen ? s->Photos.at(row).Caption : QString());
    CaptionEdit->setEnabled(chosen);
    RemovePhotoButton->setEnabled(chosen);
}

void TPointSurveyForm::edited()
{
    if (const TPointSurvey *s = survey())
        m_shown = *s;
    emit SiteEdited();
}

void TPointSurveyForm::WaterChange()
{
    TPointSurvey *s = survey();
    if (!s)
        return;
    const auto kind = TWaterLevelKind(WaterCombo->currentIndex());
    WaterEdit->setEnabled(kind == TWaterLevelKind::Measured);
    if (kind != TWaterLevelKind::Measured) {
        setText(WaterEdit, QString());
        s->Water = {kind, 0};
        edited();
        return;
    }
    // Measured takes effect with a depth: a level of 0.00 m nobody typed would mislead.
    const std::optional<double> depth = ParseWaterDepth(WaterEdit->text());
    if (!depth) {
        markRefused(WaterEdit, QStringLiteral("水位は地表面からの深さ 0.00～99.99 m で入力して"
                                              "ください"));
        return;
    }
    markRefused(WaterEdit, {});
    s->Water = {kind, *depth};
    edited();
}

void TPointSurveyForm::AddPhoto()
{
    TPointSurvey *s = survey();
    if (!s)
        return;
    TFileDialogRequest request;
    request.Title = QStringLiteral("写真を追加");
    request.Filter = kPhotoFilter;
    // Pictures are usually kept beside the tests, or beside the last one added.
    request.Folder =
        QFileInfo(s->Photos.isEmpty() ? m_data.Site.Points.at(m_index).File : s->Photos.last().File)
            .absolutePath();
    const std::optional<TFileChoice> choice = FileDialogs().openFile(request, this);
    if (!choice)
        return;
    const QString file = QFileInfo(choice->Path).absoluteFilePath();
    const QString problem = PhotoProblem(file);
    if (!problem.isEmpty()) {
        Messages().warning(problem, this);
        return;
    }
    AddPointPhoto(*s, {file, QString()});
    qsizetype row = 0;
    while (QFileInfo(s->Photos.at(row).File) != QFileInfo(file))
        ++row;
    fillPhotos(row);
    edited();
    // The caption is what is typed next.
    CaptionEdit->setFocus();
}

void TPointSurveyForm::RemovePhoto()
{
    TPointSurvey *s = survey();
    const int row = PhotoList->currentRow();
    if (!s || row < 0 || row >= s->Photos.size())
        return;
    s->Photos.removeAt(row);
    fillPhotos(std::min<qsizetype>(row, s->Photos.size() - 1));
    edited();
}

void TPointSurveyForm::CaptionEditChange()
{
    TPointSurvey *s = survey();
    const int row = PhotoList->currentRow();
    if (!s || row < 0 || row >= s->Photos.size())
        return;
    s->Photos[row].Caption = CaptionEdit->text();
    PhotoList->item(row)->setText(photoItemText(s->Photos.at(row)));
    edited();
}

bool TPointSurveyForm::eventFilter(QObject *watched, QEvent *event)
{
    // Insert and Delete in the photo list add and remove photos (the panel keeps the window's
    // commands on those keys from taking them).
    if (watched == PhotoList && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Insert) {
            AddPhoto();
            return true;
        }
        if (key->key() == Qt::Key_Delete) {
            RemovePhoto();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

TSiteSurveyPanel::TSiteSurveyPanel(TSiteData &data, QWidget *parent) : QTabWidget(parent)
{
    setObjectName(QStringLiteral("SurveyPanel"));
    SiteForm = new TSiteSurveyForm(data);
    PointForm = new TPointSurveyForm(data);
    // A short window scrolls the forms; the panel is never narrower than they are, so no field
    // is cut at its side.
    const auto scrolled = [this](QWidget *form) {
        auto *area = new QScrollArea(this);
        area->setWidget(form);
        area->setWidgetResizable(true);
        area->setFrameShape(QFrame::NoFrame);
        area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        area->setMinimumWidth(form->minimumSizeHint().width() +
                              area->verticalScrollBar()->sizeHint().width());
        return area;
    };
    addTab(scrolled(SiteForm), QStringLiteral("現場の情報(&I)"));
    addTab(scrolled(PointForm), QStringLiteral("測点の情報(&O)"));
    connect(SiteForm, &TSiteSurveyForm::SiteEdited, this, &TSiteSurveyPanel::SiteEdited);
    connect(PointForm, &TPointSurveyForm::SiteEdited, this, &TSiteSurveyPanel::SiteEdited);

    SiteInfoAction = new QAction(QStringLiteral("現場の情報を入力(&I)"), this);
    SiteInfoAction->setObjectName(QStringLiteral("SiteInfoAction"));
    SiteInfoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    connect(SiteInfoAction, &QAction::triggered, this,
            [this] { bringUp(0, SiteForm->ClientEdit); });
    PointInfoAction = new QAction(QStringLiteral("測点の情報を入力(&P)"), this);
    PointInfoAction->setObjectName(QStringLiteral("PointInfoAction"));
    PointInfoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I));
    connect(PointInfoAction, &QAction::triggered, this,
            [this] { bringUp(1, PointForm->WeatherEdit); });
}

void TSiteSurveyPanel::bringUp(int tab, QWidget *field)
{
    // The panel may have been closed or floated away; its commands bring it back.
    if (auto *dock = qobject_cast<QDockWidget *>(parentWidget())) {
        dock->show();
        dock->raise();
        dock->activateWindow();
    }
    setCurrentIndex(tab);
    field->setFocus(Qt::ShortcutFocusReason);
}

void TSiteSurveyPanel::Reload(qsizetype selectedPoint)
{
    SiteForm->Reload();
    PointForm->ShowPoint(selectedPoint);
    PointInfoAction->setEnabled(selectedPoint >= 0);
}

bool TSiteSurveyPanel::event(QEvent *event)
{
    // The window's Insert and Delete add and remove points: while a field of the forms has the
    // focus, those keys are the field's (a photo, a character), never a point's.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Delete || key->key() == Qt::Key_Insert) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            event->accept();
            return true;
        }
    }
    return QTabWidget::event(event);
}
