#include "views/PageOptionsDialog.h"

#include "pages/PageOptionsCheck.h"
#include "views/DialogFields.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

using DialogFields::named;

namespace {

QLineEdit* lineEdit(const char* name, const QString& text) {
    return named(new QLineEdit(text), name);
}

QCheckBox* box(const char* name, const QString& caption, bool ticked) {
    auto* b = named(new QCheckBox(caption), name);
    b->setChecked(ticked);
    return b;
}

} // namespace

PageOptionsDialog::PageOptionsDialog(const QString& address, const PageOptions& options,
                                     const QStringList& otherPages, DependsOnCheck dependsOnProblem,
                                     QWidget* parent)
    : QDialog(parent), method_(named(new QComboBox, "ComboMethod")),
      mustContain_(lineEdit("EditMustContain", options.mustContain)),
      mustNotContain_(lineEdit("EditMustNotContain", options.mustNotContain)),
      regularExpression_(
          box("CheckBoxRegularExpression", QStringLiteral("Regular expression"), options.regularExpression)),
      matchCase_(box("CheckBoxMatchCase", QStringLiteral("Match case"), options.matchCase)),
      user_(lineEdit("EditLoginUser", options.user)),
      password_(lineEdit("EditLoginPassword", options.password)),
      plainLogin_(
          box("CheckBoxPlainLogin", QStringLiteral("Allow login over plain http"), options.plainLogin)),
      headers_(named(new QPlainTextEdit(options.headers.join(QLatin1Char('\n'))), "MemoHeaders")),
      acceptedCodes_(lineEdit("EditAcceptedCodes", options.acceptedCodes)),
      timeOut_(lineEdit("EditPageTimeOut", options.timeOut)),
      slowAfter_(lineEdit("EditPageSlow", options.slowAfter)),
      dependsOn_(named(new QComboBox, "ComboDependsOn")), send_(lineEdit("EditSend", options.send)),
      expect_(lineEdit("EditExpect", options.expect)),
      conditions_(named(new QPlainTextEdit(options.conditions.join(QLatin1Char('\n'))), "MemoConditions")),
      dependsOnProblem_(std::move(dependsOnProblem)) {
    setObjectName(QStringLiteral("DialogPageOptions"));
    setWindowTitle(QStringLiteral("Page options — ") + address);
    setMinimumWidth(520); // room for a pattern, and for the errors beside the fields
    method_->addItems({QStringLiteral("HEAD"), QStringLiteral("GET")});
    method_->setCurrentIndex(options.get ? 1 : 0);
    password_->setEchoMode(QLineEdit::Password);
    fitLines(headers_, 4);
    fitLines(conditions_, 4);
    // Chosen from the list, or typed: an address the list does not hold is refused on OK.
    dependsOn_->setEditable(true);
    dependsOn_->setInsertPolicy(QComboBox::NoInsert);
    dependsOn_->addItem(QString());
    dependsOn_->addItems(otherPages);
    dependsOn_->setCurrentText(options.dependsOn);

    auto* form = new QFormLayout(this);
    addRow(QStringLiteral("Method"), method_,
           QStringLiteral("HEAD asks for the header only; GET fetches the page, as a content check needs"));
    mustContainError_ = addRow(QStringLiteral("Must contain"), mustContain_,
                               QStringLiteral("The page fails its check when this text is missing"));
    mustNotContainError_ = addRow(QStringLiteral("Must not contain"), mustNotContain_,
                                  QStringLiteral("The page fails its check when this text is there"));
    // What a tcp page sends and expects; other pages have no use for them.
    const bool tcp = address.startsWith(QLatin1String("tcp://"), Qt::CaseInsensitive);
    addRow(QStringLiteral("Send"), send_, QStringLiteral("Sent once the connection stands"));
    expectError_ =
        addRow(QStringLiteral("Expect"), expect_,
               QStringLiteral("Text the first reply must hold; a pattern when Regular expression is ticked"));
    for (QWidget* field : {static_cast<QWidget*>(send_), static_cast<QWidget*>(expect_)})
        form->setRowVisible(field, tcp);
    addRow(QString(), regularExpression_, QStringLiteral("The two texts are regular expressions"), true);
    addRow(QString(), matchCase_, QStringLiteral("Upper and lower case must match"), true);
    addRow(QStringLiteral("User name"), user_, QStringLiteral("Sent with the request as an HTTP login"));
    addRow(QStringLiteral("Password"), password_,
           QStringLiteral("Kept in the desktop's secret store, never in the settings file"));
    addRow(QString(), plainLogin_,
           QStringLiteral("Send the login over http too, where anybody on the way can read it"), true);
    headersError_ =
        addRow(QStringLiteral("Extra headers"), headers_,
               QStringLiteral("One \"Name: value\" a line, sent with every request of this page"));
    acceptedCodesError_ = addRow(
        QStringLiteral("Accepted status codes"), acceptedCodes_,
        QStringLiteral("Codes and ranges such as 200-299,301,401; empty means every answer below 400"));
    timeOutError_ = addRow(QStringLiteral("Time-out (s)"), timeOut_,
                           QStringLiteral("Empty: the time-out of the Connection tab"));
    slowAfterError_ = addRow(QStringLiteral("Slow after (s)"), slowAfter_,
                             QStringLiteral("Empty: the slow access time of the Connection tab"));
    conditionsError_ = addRow(QStringLiteral("Conditions"), conditions_,
                              QStringLiteral("One a line, all of which must hold, such as [STATUS] == 200, "
                                             "[BODY].status == UP or [RESPONSE_TIME] < 500"));
    dependsOnError_ = addRow(QStringLiteral("Depends on"), dependsOn_,
                             QStringLiteral("The page of the list this one sits behind: while that page is "
                                            "down, this one raises no alarm of its own; empty: none"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &PageOptionsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PageOptionsDialog::reject);
    form->addRow(buttons);

    for (QLineEdit* text : {mustContain_, mustNotContain_})
        connect(text, &QLineEdit::textChanged, this, &PageOptionsDialog::followContentCheck);
    followContentCheck();
}

QLabel* PageOptionsDialog::addRow(const QString& caption, QWidget* field, const QString& hint,
                                  bool ownCaption) {
    auto* form = static_cast<QFormLayout*>(layout());
    DialogFields::addRow(form, ownCaption ? QString() : caption, field, hint);
    if (ownCaption)
        return nullptr;
    QLabel* error = DialogFields::errorLabel(field->objectName() + QStringLiteral("Error"));
    form->addRow(QString(), error);
    return error;
}

void PageOptionsDialog::fitLines(QPlainTextEdit* field, int lines) {
    field->setTabChangesFocus(true);
    field->setFixedHeight(field->fontMetrics().lineSpacing() * lines + 12);
}

void PageOptionsDialog::followContentCheck() {
    const bool content = !mustContain_->text().isEmpty() || !mustNotContain_->text().isEmpty();
    if (content)
        method_->setCurrentIndex(1);
    method_->setEnabled(!content);
}

PageOptions PageOptionsDialog::options() const {
    PageOptions o;
    o.get = method_->currentIndex() == 1;
    o.mustContain = mustContain_->text();
    o.mustNotContain = mustNotContain_->text();
    o.regularExpression = regularExpression_->isChecked();
    o.matchCase = matchCase_->isChecked();
    o.user = user_->text().trimmed();
    o.password = password_->text();
    o.plainLogin = plainLogin_->isChecked();
    for (const QString& line : headers_->toPlainText().split(QLatin1Char('\n')))
        if (!line.trimmed().isEmpty())
            o.headers.append(line);
    o.acceptedCodes = acceptedCodes_->text().trimmed();
    o.timeOut = timeOut_->text().trimmed();
    o.slowAfter = slowAfter_->text().trimmed();
    o.dependsOn = dependsOn_->currentText().trimmed();
    o.send = send_->text();
    o.expect = expect_->text();
    for (const QString& line : conditions_->toPlainText().split(QLatin1Char('\n')))
        if (!line.trimmed().isEmpty())
            o.conditions.append(line.trimmed());
    return o;
}

bool PageOptionsDialog::showProblem(QWidget* field, QLabel* error, const QString& problem) {
    error->setText(problem);
    error->setVisible(!problem.isEmpty());
    // A screen reader says what is wrong when the field gets the focus.
    field->setAccessibleDescription(problem);
    return !problem.isEmpty();
}

void PageOptionsDialog::accept() {
    const PageOptions o = options();
    using namespace PageOptionsCheck;
    const std::pair<QWidget*, bool> wrong[] = {
        {mustContain_,
         showProblem(mustContain_, mustContainError_, pattern(o.mustContain, o.regularExpression))},
        {mustNotContain_,
         showProblem(mustNotContain_, mustNotContainError_, pattern(o.mustNotContain, o.regularExpression))},
        {expect_, showProblem(expect_, expectError_,
                              pattern(expect_->isHidden() ? QString() : o.expect, o.regularExpression))},
        {headers_, showProblem(headers_, headersError_, PageOptionsCheck::headers(o.headers))},
        {acceptedCodes_, showProblem(acceptedCodes_, acceptedCodesError_, acceptedCodes(o.acceptedCodes))},
        {timeOut_, showProblem(timeOut_, timeOutError_, seconds(o.timeOut))},
        {slowAfter_, showProblem(slowAfter_, slowAfterError_, seconds(o.slowAfter))},
        // Checked as typed, blank lines and all, so that the line and column point into the field.
        {conditions_,
         showProblem(conditions_, conditionsError_,
                     PageOptionsCheck::conditions(conditions_->toPlainText().split(QLatin1Char('\n'))))},
        {dependsOn_,
         showProblem(dependsOn_, dependsOnError_,
                     o.dependsOn.isEmpty() || !dependsOnProblem_ ? QString()
                                                                 : dependsOnProblem_(o.dependsOn))},
    };
    for (const auto& [field, isWrong] : wrong) {
        if (isWrong) {
            field->setFocus();
            return;
        }
    }
    QDialog::accept();
}
