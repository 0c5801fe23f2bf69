#pragma once

#include "pages/PageOptions.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

// "Page options — <address>": what one page's check asks beyond a HEAD request. OK keeps the
// options only when every field is right; a wrong one says why beside it, and keeps the focus.
class PageOptionsDialog : public QDialog {
    Q_OBJECT
public:
    // What is wrong with the page depending on an address; empty when it may.
    using DependsOnCheck = std::function<QString(const QString& dependsOn)>;

    // otherPages: the list's other addresses, for "Depends on" to choose from.
    PageOptionsDialog(const QString& address, const PageOptions& options, const QStringList& otherPages,
                      DependsOnCheck dependsOnProblem, QWidget* parent = nullptr);

    PageOptions options() const;
    void accept() override;

private:
    // A row of the form: the caption names the field for a screen reader, the error label
    // below stays hidden until the field is wrong.
    QLabel* addRow(const QString& caption, QWidget* field, const QString& hint, bool ownCaption = false);
    // Shows the field's problem, or hides it; true when there is one.
    static bool showProblem(QWidget* field, QLabel* error, const QString& problem);
    void followContentCheck();
    // A field of some lines' height whose Tab moves on.
    static void fitLines(QPlainTextEdit* field, int lines);

    QComboBox* method_;
    QLineEdit* mustContain_;
    QLineEdit* mustNotContain_;
    QCheckBox* regularExpression_;
    QCheckBox* matchCase_;
    QLineEdit* user_;
    QLineEdit* password_;
    QCheckBox* plainLogin_;
    QPlainTextEdit* headers_;
    QLineEdit* acceptedCodes_;
    QLineEdit* timeOut_;
    QLineEdit* slowAfter_;
    QComboBox* dependsOn_;
    QLineEdit* send_;
    QLineEdit* expect_;
    QPlainTextEdit* conditions_;
    DependsOnCheck dependsOnProblem_;
    QLabel* mustContainError_;
    QLabel* mustNotContainError_;
    QLabel* headersError_;
    QLabel* acceptedCodesError_;
    QLabel* timeOutError_;
    QLabel* slowAfterError_;
    QLabel* dependsOnError_;
    QLabel* expectError_;
    QLabel* conditionsError_;
};
