#pragma once
// Pieces of the workspace that no road of the program reaches, kept in their shape:
//  - CToolPanelDlg: a column of picture buttons for the frame's main commands (the
//    only button of Run lies hidden on it); no window of the program shows it.
//  - CIndicateView: a placeholder drawing of a record header; nothing creates it.
//  - CSelectFileTypeDlg: a choice between saving stored or real-time data; nothing
//    opens it.
#include <QWidget>

#include "display/template_dialog.h"

class CMainFrame;

class CToolPanelDlg : public TemplateDialog {
    Q_OBJECT
public:
    // A child window of `parent`, hidden until someone shows it.
    explicit CToolPanelDlg(QWidget* parent = nullptr);

    // Each button hands its click to the frame's own command, with the frame's own
    // refusals (no instrument command while a download loads, and so on).
    void OnCorrectTime();
    void OnDataloggerSetup();
    void OnDownloadData();
    void OnOpenDocument();
    void OnHelp();
    void OnRun();

private:
    CMainFrame* frame() const;
};

class CIndicateView : public QWidget {
    Q_OBJECT
public:
    explicit CIndicateView(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

class CSelectFileTypeDlg : public TemplateDialog {
    Q_OBJECT
public:
    explicit CSelectFileTypeDlg(CMainFrame& frame, QWidget* parent = nullptr);

    // Saves the stored data ("RMSTRDATA") or the real-time data ("EPADATA") through
    // the frame, or says there is none.
    void OnSaveStore();
    void OnSaveRealTime();

private:
    void save(int count, const QString& noDataMessage, const QString& tag);
    CMainFrame& m_frame;
};
