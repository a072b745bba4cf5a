#include "resources/dialog_templates.h"

#include <map>

using namespace ctrl;

namespace {

ControlTemplate control(int id, ControlKind kind, const QString& text, QRect rect)
{
    ControlTemplate c;
    c.id = id;
    c.kind = kind;
    c.text = text;
    c.rect = rect;
    return c;
}

ControlTemplate bitmapButton(int id, const QString& text, QRect rect, int bitmap)
{
    ControlTemplate c = control(id, ControlKind::BitmapButton, text, rect);
    c.bitmap = bitmap;
    c.defaultButton = id == IDOK;
    return c;
}

ControlTemplate groupBox(int id, const QString& text, QRect rect)
{
    ControlTemplate c = control(id, ControlKind::GroupBox, text, rect);
    c.tabStop = false;
    return c;
}

ControlTemplate label(int id, const QString& text, QRect rect, bool centred = false)
{
    ControlTemplate c = control(id, ControlKind::Static, text, rect);
    c.centred = centred;
    c.tabStop = false;
    return c;
}

ControlTemplate radio(int id, const QString& text, QRect rect, bool groupStart)
{
    ControlTemplate c = control(id, ControlKind::RadioButton, text, rect);
    c.groupStart = groupStart;
    return c;
}

ControlTemplate upDown(int id, int buddy, QRect rect)
{
    ControlTemplate c = control(id, ControlKind::UpDown, QString(), rect);
    c.buddy = buddy;
    c.tabStop = false;
    return c;
}

ControlTemplate dropList(int id, QRect rect, const QStringList& items, bool sorted)
{
    ControlTemplate c = control(id, ControlKind::DropList, QString(), rect);
    c.items = items;
    c.sorted = sorted;
    return c;
}

// Created without the visible style and disabled.
ControlTemplate hidden(ControlTemplate c)
{
    c.visible = false;
    c.enabled = false;
    return c;
}

// Download dialog: the prompt line above the two bitmap buttons.
DialogTemplate downloadTemplate()
{
    DialogTemplate t;
    t.id = IDD_DOWNLOAD;
    t.caption = QStringLiteral("Connecting...");
    t.size = QSize(167, 54);
    t.fontFamily = QStringLiteral("Arial");
    t.fontPoints = 10;
    t.systemMenu = false;
    t.controls = {
        bitmapButton(IDOK, QStringLiteral("Download"), QRect(13, 30, 67, 16), IDB_DOWNLOAD),
        bitmapButton(IDCANCEL, QStringLiteral("Cancel"), QRect(86, 30, 67, 16),
                     IDB_CANCEL_DOWNLOAD),
        label(IDC_DOWNLOAD_PROMPT, QString(), QRect(11, 4, 126, 21)),
        hidden(control(IDC_REAL_TIME, ControlKind::PushButton, QStringLiteral("REAL TIME"),
                       QRect(58, 31, 47, 16))),
    };
    return t;
}

// Logger set-up: rate with its unit, auto power off, memory-full mode, the prompt line
// and the three buttons; the two detection levels are carried in hidden controls.
DialogTemplate loggerSetupTemplate()
{
    DialogTemplate t;
    t.id = IDD_LOGGER_SETUP;
    t.caption = QStringLiteral("Connecting...");
    t.size = QSize(225, 165);
    t.fontFamily = QStringLiteral("Arial");
    t.fontPoints = 9;
    t.systemMenu = true;
    t.controls = {
        groupBox(IDC_RATE_GROUP, QStringLiteral("RMS Sampling Rate Setup"), QRect(7, 4, 211, 34)),
        control(IDC_RATE, ControlKind::NumEdit, QString(), QRect(20, 17, 44, 13)),
        upDown(IDC_RATE_SPIN, IDC_RATE, QRect(64, 17, 10, 13)),
        dropList(IDC_RATE_UNIT, QRect(86, 17, 64, 60),
                 {QStringLiteral("Second"), QStringLiteral("Minute"), QStringLiteral("Hour")},
                 false),
        groupBox(IDC_AUTO_OFF_GROUP, QStringLiteral("Auto Power Off"), QRect(7, 42, 211, 34)),
        radio(IDC_AUTO_OFF_ON, QStringLiteral("ON"), QRect(42, 57, 40, 10), true),
        radio(IDC_AUTO_OFF_OFF, QStringLiteral("OFF"), QRect(104, 57, 40, 10), false),
        [] {
            ControlTemplate c =
                control(IDC_STATIC, ControlKind::BitmapStatic, QString(), QRect(20, 52, 16, 20));
            c.bitmap = IDB_CLOCK;
            c.tabStop = false;
            return c;
        }(),
        groupBox(IDC_MEM_FULL_GROUP, QStringLiteral("When memory is full:"), QRect(7, 80, 211, 34)),
        radio(IDC_MEM_FULL_OVERWRITE, QStringLiteral("Continue&&Overwrite oldest point"),
              QRect(20, 95, 130, 10), true),
        radio(IDC_MEM_FULL_STOP, QStringLiteral("Stop"), QRect(160, 95, 50, 10), false),
        label(IDC_PROMPT, QString(), QRect(7, 118, 211, 12)),
        bitmapButton(IDC_DEFAULT, QStringLiteral("Default"), QRect(7, 136, 67, 20), IDB_DEFAULT),
        bitmapButton(IDOK, QStringLiteral("Setup"), QRect(79, 136, 67, 20), IDB_SETUP),
        bitmapButton(IDCANCEL, QStringLiteral("Cancel"), QRect(151, 136, 67, 20), IDB_CANCEL_SETUP),
        hidden(groupBox(IDC_RISE_GROUP, QStringLiteral("Sudden Rise Detection Level Setup"),
                        QRect(7, 118, 105, 30))),
        hidden(control(IDC_RISE_LEVEL, ControlKind::NumEdit, QString(), QRect(14, 130, 40, 13))),
        hidden(upDown(IDC_RISE_SPIN, IDC_RISE_LEVEL, QRect(54, 130, 10, 13))),
        hidden(dropList(IDC_RISE_UNIT, QRect(70, 130, 36, 40),
                        {QStringLiteral("V"), QStringLiteral("A")}, true)),
        hidden(groupBox(IDC_DROP_GROUP, QStringLiteral("Sudden Drop Detection Level Setup"),
                        QRect(113, 118, 105, 30))),
        hidden(control(IDC_DROP_LEVEL, ControlKind::NumEdit, QString(), QRect(120, 130, 40, 13))),
        hidden(upDown(IDC_DROP_SPIN, IDC_DROP_LEVEL, QRect(160, 130, 10, 13))),
        hidden(dropList(IDC_DROP_UNIT, QRect(176, 130, 36, 40),
                        {QStringLiteral("V"), QStringLiteral("A")}, true)),
    };
    return t;
}

// Clock: the PC's date and time in six read-only fields, the prompt line, OK and Cancel.
DialogTemplate correctTimeTemplate()
{
    auto field = [](int id, QRect rect) {
        ControlTemplate c = control(id, ControlKind::NumEdit, QString(), rect);
        c.readOnly = true;
        c.centred = true;
        c.tabStop = false;
        return c;
    };
    DialogTemplate t;
    t.id = IDD_CORRECT_TIME;
    t.caption = QStringLiteral("Connecting...");
    t.size = QSize(139, 130);
    t.fontFamily = QStringLiteral("Arial");
    t.fontPoints = 10;
    t.systemMenu = true;
    t.controls = {
        groupBox(IDC_STATIC, QStringLiteral("Current Time"), QRect(7, 4, 125, 74)),
        field(IDC_YEAR, QRect(16, 18, 36, 13)),
        field(IDC_MONTH, QRect(59, 18, 28, 13)),
        field(IDC_DAY, QRect(95, 18, 28, 13)),
        label(IDC_STATIC, QStringLiteral("Year"), QRect(16, 33, 36, 9), true),
        label(IDC_STATIC, QStringLiteral("Month"), QRect(55, 33, 36, 9), true),
        label(IDC_STATIC, QStringLiteral("Day"), QRect(91, 33, 36, 9), true),
        field(IDC_HOUR, QRect(20, 48, 28, 13)),
        label(IDC_STATIC, QStringLiteral("   :"), QRect(46, 50, 12, 9)),
        field(IDC_MINUTE, QRect(59, 48, 28, 13)),
        label(IDC_STATIC, QStringLiteral("  :"), QRect(87, 50, 8, 9)),
        field(IDC_SECOND, QRect(95, 48, 28, 13)),
        label(IDC_STATIC, QStringLiteral("hour"), QRect(16, 63, 36, 9), true),
        label(IDC_STATIC, QStringLiteral("Minute"), QRect(55, 63, 36, 9), true),
        label(IDC_STATIC, QStringLiteral("Second"), QRect(91, 63, 36, 9), true),
        label(IDC_PROMPT, QString(), QRect(7, 82, 125, 18)),
        bitmapButton(IDOK, QStringLiteral("OK"), QRect(7, 102, 60, 22), IDB_OK),
        bitmapButton(IDCANCEL, QStringLiteral("Cancel"), QRect(72, 102, 60, 22), IDB_CANCEL_CLOCK),
        hidden(upDown(IDC_YEAR_SPIN, IDC_YEAR, QRect(52, 18, 6, 13))),
        hidden(upDown(IDC_MONTH_SPIN, IDC_MONTH, QRect(87, 18, 6, 13))),
        hidden(upDown(IDC_DAY_SPIN, IDC_DAY, QRect(123, 18, 6, 13))),
        hidden(upDown(IDC_HOUR_SPIN, IDC_HOUR, QRect(48, 48, 6, 13))),
        hidden(upDown(IDC_MINUTE_SPIN, IDC_MINUTE, QRect(87, 48, 6, 13))),
        hidden(upDown(IDC_SECOND_SPIN, IDC_SECOND, QRect(123, 48, 6, 13))),
    };
    return t;
}

const std::map<int, DialogTemplate>& templates()
{
    static const std::map<int, DialogTemplate> table = [] {
        std::map<int, DialogTemplate> m;
        for (DialogTemplate t : {downloadTemplate(), loggerSetupTemplate(), correctTimeTemplate()})
            m.emplace(t.id, std::move(t));
        return m;
    }();
    return table;
}

} // namespace

const ControlTemplate* DialogTemplate::control(int controlId) const
{
    if (controlId == IDC_STATIC)
        return nullptr;
    for (const ControlTemplate& c : controls)
        if (c.id == controlId)
            return &c;
    return nullptr;
}

const DialogTemplate* findDialogTemplate(int id)
{
    const auto& table = templates();
    const auto it = table.find(id);
    return it == table.end() ? nullptr : &it->second;
}
