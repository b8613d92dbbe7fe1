#pragma once

// The navigator bar: buttons that move through a dataset and edit its records.

#include "platform/db/DataSource.h"
#include "platform/ui/Controls.h"

#include <memory>
#include <vector>

class QToolButton;

namespace vyn {

VYN_ENUM(TNavigateBtn, nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost,
         nbCancel, nbRefresh)
using TButtonSet = Set<TNavigateBtn>;

class TNavDataLink;
using TNavClickEvent = Event<void(TObject* Sender, TNavigateBtn Button)>;

// Buttons that move through a dataset and edit its records, each enabled as the dataset's
// state and position allow.
class TDBNavigator : public TWinControl
{
    VYN_CLASS(TDBNavigator, TWinControl)
public:
    explicit TDBNavigator(TComponent* AOwner);
    ~TDBNavigator() override;

    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* Value);
    TButtonSet VisibleButtons() const { return m_visible; }
    void SetVisibleButtons(TButtonSet Value);
    bool ConfirmDelete() const { return m_confirmDelete; }
    void SetConfirmDelete(bool Value) { m_confirmDelete = Value; }

    // Does what the button does (asking before a delete).
    void BtnClick(TNavigateBtn Index);
    bool ButtonEnabled(TNavigateBtn Index) const;
    bool ButtonVisible(TNavigateBtn Index) const { return m_visible.Contains(Index); }
    QToolButton* Button(TNavigateBtn Index) const { return m_buttons[size_t(Index)]; }

    TNavClickEvent BeforeAction;
    TNavClickEvent OnClick;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void ApplyBounds() override;

private:
    friend class TNavDataLink;
    void UpdateButtons();
    void Arrange();

    std::unique_ptr<TNavDataLink> m_link;
    std::vector<QToolButton*> m_buttons;
    TButtonSet m_visible;
    bool m_confirmDelete = true;
};

} // namespace vyn
