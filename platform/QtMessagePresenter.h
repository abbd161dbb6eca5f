#pragma once

#include "Message.h"

class QWidget;

// Real modal message boxes, parented to the main window.
class QtMessagePresenter : public MessagePresenter
{
public:
    explicit QtMessagePresenter(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    MessageAnswer show(const Message& message) override;

private:
    QWidget* m_parent;
};
