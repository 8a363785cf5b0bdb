// Forms as child windows in front of their caller.
#include "catalogue/ui/form_window.h"

#include "shell/ui/widget_geometry.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace tunarium {

FormWindow::FormWindow(const QString& procedure, const QString& positionFile, QWidget* caller, Done done)
    : m_procedure(procedure), m_positionFile(positionFile), m_caller(caller), m_done(std::move(done)) {
    setObjectName(procedure);
    setAttribute(Qt::WA_DeleteOnClose);
}

FormWindow::~FormWindow() {
    answer();
}

void FormWindow::present(QMdiArea* area) {
    if (m_caller) {
        m_caller->setEnabled(false);
    }
    if (area) {
        m_subWindow = area->addSubWindow(this);
        m_subWindow->setAttribute(Qt::WA_DeleteOnClose);
        m_subWindow->show();
        area->setActiveSubWindow(m_subWindow);
    } else {
        show();
    }
    restoreWidgetPosition(this, m_procedure, m_positionFile);
    activateWindow();
}

void FormWindow::finish(int response) {
    m_response = response;
    m_closing = true;
    if (m_subWindow) {
        m_subWindow->close();
    } else {
        close();
    }
}

void FormWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        cancelRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FormWindow::closeEvent(QCloseEvent* event) {
    if (!m_closing) {
        m_closing = true;
        closing();
    }
    if (!m_answered) {
        closed();
        releaseTables();
        if (isVisible()) {
            saveWidgetPosition(this, m_procedure, m_positionFile);
        }
    }
    answer();
    event->accept();
}

void FormWindow::closing() {
    if (m_session) {
        m_session->cancel();
    }
}

void FormWindow::closed() {
    if (m_session) {
        m_session->close();
    }
}

void FormWindow::cancelRequested() {
    closing();
    finish(kResponseCancelled);
}

bool FormWindow::startSession(Database& db, const QList<TableId>& tables, FormSession& session, Row& record) {
    m_db = &db;
    m_session = &session;
    for (TableId t : tables) {
        if (!db.openTable(t)) {
            return false;
        }
        m_tables << t;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool opens = session.start(record);
    QApplication::restoreOverrideCursor();
    return opens;
}

void FormWindow::releaseTables() {
    for (TableId t : std::as_const(m_tables)) {
        m_db->closeTable(t);
    }
    m_tables.clear();
}

void FormWindow::answer() {
    if (m_answered) {
        return;
    }
    m_answered = true;
    if (m_caller) {
        m_caller->setEnabled(true);
        m_caller->activateWindow();
    }
    if (m_done) {
        m_done(m_response);
    }
}

} // namespace tunarium
