#pragma once

#include <QDialog>
#include <QList>
#include <QSharedPointer>

class QDialogButtonBox;
class QListWidget;
class QListWidgetItem;
struct OES_SealInfoEx;

// The seal-selection dialog ("印章选择"): the seals of the seal provider, each with its picture and
// name; "确定" or a double click chooses the current seal, "取消" none.
//
// Interface: FormSealSelect(parent) (asks the provider; when its library cannot be loaded the user
// is told "加载OES DLL失败！路径:%1" and the list stays empty), FormSealSelect(seals, parent) (lists
// the given seals without asking the provider), LoadProviderSeals() -> bool, SetSealList(seals),
// GetSealList(), GetListWidget(), GetSelectSeal() (the chosen seal; null until one was chosen),
// IsProviderFailed().
class FormSealSelect : public QDialog
{
    Q_OBJECT
public:
    explicit FormSealSelect(QWidget *parent = nullptr);
    explicit FormSealSelect(const QList<QSharedPointer<OES_SealInfoEx>> &seals, QWidget *parent = nullptr);
    ~FormSealSelect() override;

    // Loads the provider library and lists its seals; false (after the warning) when it cannot be
    // loaded.
    bool LoadProviderSeals();
    void SetSealList(const QList<QSharedPointer<OES_SealInfoEx>> &seals);
    const QList<QSharedPointer<OES_SealInfoEx>> &GetSealList() const { return m_seals; }
    QListWidget *GetListWidget() const { return m_list; }
    QDialogButtonBox *GetButtonBox() const { return m_buttons; }
    QSharedPointer<OES_SealInfoEx> GetSelectSeal() const { return m_selected; }
    // True when the provider library could not be loaded (the user has been told).
    bool IsProviderFailed() const { return m_providerFailed; }

    // Takes the current seal as the choice (nothing without one) and closes the dialog.
    void accept() override;

private:
    void BuildForm();
    void UpdateButtons();
    void OnItemDoubleClicked(QListWidgetItem *item);

    QListWidget *m_list = nullptr;
    QDialogButtonBox *m_buttons = nullptr;
    QList<QSharedPointer<OES_SealInfoEx>> m_seals;
    QSharedPointer<OES_SealInfoEx> m_selected;
    bool m_providerFailed = false;
};
