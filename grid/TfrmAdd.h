#pragma once

#include "controls/TFormVSkin.h"
#include "core/ItemInfo.h"

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace lumora
{

class TColorBorderComboBox;
class TColorBorderEdit;
class TColorCheckBox;
class THttpThreadControl;
class TImagePanel;
class TPNGButtonEx;

// The simple way to enter one record: one field per line and a confirm button that saves with the grid's save
// request. Created once and reused; the main window reads Saved after it closes.
class TfrmAdd : public TFormVSkin
{
    Q_OBJECT
public:
    explicit TfrmAdd(QWidget *parent = nullptr);
    ~TfrmAdd() override;

    // Ready for a new entry: button enabled, categories refilled from CategoryListText, name and amount emptied,
    // Saved false.
    void PrepareAdd();

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
    // The category list dialog (the main window's); nothing opens when empty.
    std::function<void()> OpenCategoryDialog;

    TImagePanel *pnlBody = nullptr;
    TColorBorderEdit *name1 = nullptr;
    TColorBorderEdit *money1 = nullptr;
    TPNGButtonEx *PNGButtonEx1 = nullptr;
    TPNGButtonEx *PNGButtonEx2 = nullptr;
    TPNGButtonEx *PNGButtonEx3 = nullptr;
    TColorBorderComboBox *in1 = nullptr;
    TColorBorderComboBox *type1 = nullptr;
    QLabel *type1_add = nullptr;
    TColorBorderEdit *create_time = nullptr;
    QPushButton *create_time_POP = nullptr;
    TPNGButtonEx *btnNew2 = nullptr;
    TColorCheckBox *chkClose = nullptr;
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
