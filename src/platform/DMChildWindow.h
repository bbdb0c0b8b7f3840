#pragma once

class QWidget;

// Child windows: a top-level window kept above its parent window, moved along when the parent
// moves and hidden when the parent is hidden, closed or destroyed. It stays where its owner put
// it, whatever place a window manager reports for it after it is shown.
//
// The parent is held weakly: a child window never keeps its parent alive and is never deleted
// with it, so an object that owns a child window (a shared panel, a popover) keeps it safely
// after the parent's document has gone.

// Makes child a child window of parent's window and shows it above it; a child already attached
// elsewhere moves to the new parent. Null arguments do nothing.
void DMWindow_addChildWindow(QWidget *parent, QWidget *child);
// Detaches the child from its parent window without hiding it.
void DMWindow_removeChildWindow(QWidget *child);
// The window the child is attached to; null when none (or when the parent has been destroyed).
QWidget *DMWindow_parentWindow(const QWidget *child);
