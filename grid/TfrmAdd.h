#pragma once

#include "core/ItemInfo.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace lumora
{

class THttpThreadControl;

// The simple way to enter one record: one field per line and a confirm button that saves with the grid's save
// request. Created once and reused; the main window reads Saved after it closes.
class TfrmAdd : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmAdd(QWidget *parent = nullptr);
    ~TfrmAdd() override;

    // Ready for a new entry: button enabled, categories refilled, name and amount emptied, Saved false.
    void PrepareAdd(const QString &categoryListText);

    void AddToAmount(double n);
    void SaveAdd();

    // Pure helpers, also used by the tests.
    static QString AmountPlus(const QString &amountText, double n);
    // "name1=" ... "id_guid=" after the session block and user lines; info must carry year1, month1 and day1.
    static QString SaveLines(const TItemInfo &info);

    TItemInfo Info;
    bool Saved = false;

    // The main window reloads its newest records after each save.
    std::function<void()> OnRecordSaved;
    // The field date pop-up and the category list dialog live elsewhere; both are optional.
    std::function<void(QLineEdit *field)> OpenDatePopup;
    std::function<void()> OpenCategoryDialog;

    QWidget *pnlClient = nullptr;
    QLineEdit *name1 = nullptr;
    QLineEdit *money1 = nullptr;
    QPushButton *PNGButtonEx1 = nullptr;
    QPushButton *PNGButtonEx2 = nullptr;
    QPushButton *PNGButtonEx3 = nullptr;
    QComboBox *in1 = nullptr;
    QComboBox *type1 = nullptr;
    QLabel *type1_add = nullptr;
    QLineEdit *create_time = nullptr;
    QPushButton *create_time_POP = nullptr;
    QPushButton *btnNew2 = nullptr;
    QCheckBox *chkClose = nullptr;
    THttpThreadControl *httpSave = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void httpSaveHttpData(THttpThreadControl *http);
    void httpSaveHttpError(THttpThreadControl *http, const QString &err);
    void EnterPressed(QObject *field);
};

} // namespace lumora
