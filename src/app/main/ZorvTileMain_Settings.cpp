// The main window's settings: the folder of the settings file (kept in the key store) and its sections
// EffectVals, MainForm and MGradient.

#include "app/main/ZorvTileMain.h"

#include "app/dialogs/InputBox.h"
#include "app/dialogs/MultiGradientModel.h"
#include "app/main/SettingsFile.h"
#include "app/main/WindowPlacement.h"
#include "image/Numeric.h"
#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "platform/MessageBoxes.h"
#include "platform/Registry.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QToolBar>

#include <cfloat>
#include <cmath>
#include <optional>

namespace {

const QString KeyPath = "Software\\ZorvWare\\ZorvTile";
const QString EV = "EffectVals";
const QString MF = "MainForm";
const QString MG = "MGradient";

float ReadSingle(const IniFile& ini, const QString& key, float def) {
    const double v = ini.ReadFloat(EV, key, def);
    // A value a Single cannot hold reads as the default.
    return std::isfinite(v) && std::fabs(v) <= FLT_MAX ? static_cast<float>(v) : def;
}

// Booleans stored as integers keep their low byte.
bool ReadByteBool(const IniFile& ini, const QString& key, bool def) {
    return (ini.ReadInteger(EV, key, def ? 1 : 0) & 0xFF) != 0;
}

// A comma list of integers; nothing when an item is not an integer.
std::optional<std::vector<int>> ReadIntList(const IniFile& ini, const QString& key, const QString& def) {
    std::vector<int> items;
    for (const QString& item : ini.ReadString(MG, key, def).split(',')) {
        bool ok = false;
        const int v = item.trimmed().toInt(&ok);
        if (!ok) return std::nullopt;
        items.push_back(v);
    }
    return items;
}

Trgb LowBytes(int r, int g, int b) {
    return Trgb{static_cast<std::uint8_t>(r & 255), static_cast<std::uint8_t>(g & 255),
                static_cast<std::uint8_t>(b & 255)};
}

TMgradNfo DefaultGradient() {
    TMgradNfo g;
    g.bars = 1;
    g.vertical = true;
    g.color = {Trgb{100, 200, 128}};
    g.pos = {10};
    g.bkcolor = Trgb{0, 0, 0};
    g.width = 512;
    g.height = 512;
    return g;
}

// The multi-colour gradient. Lists too short for the number of stops, items that are not integers and
// stop counts above 65535 give the default stops; sizes outside 1..16384 give 512; stop positions are
// clamped into the bar, so a broken file can neither index out of range nor place a stop off the bar.
TMgradNfo ReadGradient(const IniFile& ini) {
    TMgradNfo g = DefaultGradient();
    const int bars = ini.ReadInteger(MG, "bars", 1);
    g.vertical = ini.ReadBool(MG, "vertical", true);
    if (bars == 0) {
        // A gradient cleared of every stop is kept as it was designed.
        g.bars = 0;
        g.color.clear();
        g.pos.clear();
    } else {
        const auto colors = ReadIntList(ini, "colors", "100,200,128");
        const auto pos = ReadIntList(ini, "pos", "10,20,30");
        if (bars >= 1 && bars <= 65535 && colors && pos && colors->size() >= 3u * bars &&
            pos->size() >= static_cast<std::size_t>(bars)) {
            g.bars = static_cast<std::uint16_t>(bars);
            g.color.resize(static_cast<std::size_t>(bars));
            g.pos.resize(static_cast<std::size_t>(bars));
            for (std::size_t i = 0; i < g.color.size(); ++i) {
                g.color[i] = LowBytes((*colors)[3 * i], (*colors)[3 * i + 1], (*colors)[3 * i + 2]);
                g.pos[i] = (*pos)[i];
            }
        }
    }
    const auto bk = ReadIntList(ini, "bkcolor", "0,0,0");
    if (bk && bk->size() >= 3) g.bkcolor = LowBytes((*bk)[0], (*bk)[1], (*bk)[2]);
    g.width = ini.ReadInteger(MG, "width", 512);
    g.height = ini.ReadInteger(MG, "height", 512);
    CheckGradient(g);
    return g;
}

// The effects' named parameters in section EffectVals: one list for reading and writing, in the
// order they stand in the file, each with the value a missing or unreadable key gives.
struct TParamKey {
    const char* Key;
    float TEffectParams::*Single = nullptr;
    int TEffectParams::*Int = nullptr;
    bool TEffectParams::*Bool = nullptr;
    TColor TEffectParams::*Color = nullptr;
    double TEffectParams::*Whole = nullptr; // a Double kept as a whole number
    double Default = 0;

    void Read(const IniFile& ini, TEffectParams& p) const {
        if (Single) p.*Single = ReadSingle(ini, Key, static_cast<float>(Default));
        if (Int) p.*Int = ini.ReadInteger(EV, Key, static_cast<int>(Default));
        if (Bool) p.*Bool = ReadByteBool(ini, Key, Default != 0);
        if (Color)
            p.*Color = static_cast<TColor>(ini.ReadInteger(EV, Key, static_cast<int>(Default))) & 0xFFFFFFu;
        if (Whole) p.*Whole = ini.ReadInteger(EV, Key, static_cast<int>(Default));
    }
    void Write(IniFile& ini, const TEffectParams& p) const {
        if (Single) ini.WriteFloat(EV, Key, p.*Single);
        if (Int) ini.WriteInteger(EV, Key, p.*Int);
        if (Bool) ini.WriteInteger(EV, Key, p.*Bool ? 1 : 0);
        if (Color) ini.WriteInteger(EV, Key, static_cast<int>(p.*Color));
        if (Whole) ini.WriteInteger(EV, Key, RoundI(p.*Whole));
    }
};

TParamKey SingleKey(const char* key, float TEffectParams::*m, double def) {
    TParamKey k{key};
    k.Single = m;
    k.Default = def;
    return k;
}
TParamKey IntKey(const char* key, int TEffectParams::*m, double def) {
    TParamKey k{key};
    k.Int = m;
    k.Default = def;
    return k;
}
TParamKey BoolKey(const char* key, bool TEffectParams::*m, bool def) {
    TParamKey k{key};
    k.Bool = m;
    k.Default = def ? 1 : 0;
    return k;
}

using P = TEffectParams;
const TParamKey ParamKeys[] = {
    SingleKey("UDPeakVal", &P::UDPeakVal, 0),
    SingleKey("UDWavVal", &P::UDWavVal, 0),
    SingleKey("LRPeakVal", &P::LRPeakVal, 0),
    SingleKey("LRWavVal", &P::LRWavVal, 0),
    SingleKey("FishVal", &P::FishVal, 0.75),
    SingleKey("ScaleVal", &P::ScaleVal, 0),
    IntKey("TurbVal", &P::TurbVal, 0),
    IntKey("UDSBlurBuf", &P::UDSBlurBuf, 1),
    IntKey("UDSBlurSelf", &P::UDSBlurSelf, 1),
    IntKey("SBlurReps", &P::SBlurReps, 32),
    IntKey("UDWatBuf", &P::UDWatBuf, 100),
    IntKey("UDWatSelf", &P::UDWatSelf, -128),
    IntKey("NovaSpok", &P::NovaSpokVal, 64),
    IntKey("NovaHue", &P::NovaHueVal, 32),
    IntKey("NovaX", &P::NovaXVal, 24),
    IntKey("NovaY", &P::NovaYVal, 36),
    IntKey("HytEl", &P::HytElVal, 20),
    IntKey("HytDp", &P::HytDpVal, 16),
    BoolKey("HytBm", &P::HytBmVal, true),
    [] {
        TParamKey k{"TrColVal"};
        k.Color = &P::TrColVal;
        return k;
    }(),
    BoolKey("TrUseVal", &P::TrUseVal, false),
    IntKey("WvLenVal", &P::WvLenVal, 10),
    [] {
        TParamKey k{"WvPhsVal"};
        k.Whole = &P::WvPhsVal;
        k.Default = 8;
        return k;
    }(),
    BoolKey("WvRflVal", &P::WvRflVal, false),
    SingleKey("WhPchVal", &P::WhPchVal, 0.5),
    SingleKey("WhRadVal", &P::WhRadVal, 1.0),
};

QString RgbList(const Trgb& c) {
    return QString("%1,%2,%3").arg(c.r).arg(c.g).arg(c.b);
}

// The system's temporary folder itself (not a folder made inside it).
bool IsTemporaryFolder(const QString& folder) {
    const QString f = QDir::cleanPath(folder);
    return f == TempFolder() || f == "/tmp" || f == "/var/tmp";
}

// The first start: the main window large enough to show the whole 512 x 512 start image beside the
// left panel (KeepOnScreen then shrinks it to a smaller screen).
void SizeForStartImage(TfZorvTile& w) {
    const QWidget* left = w.findChild<QWidget*>("Panel1"); // the effect tree's panel, 185 or wider
    const int width = (left ? left->minimumWidth() : 185) + 512;
    const int height = w.menuBar()->sizeHint().height() + w.ToolBar1->sizeHint().height() + 512 +
                       w.stBar->sizeHint().height();
    w.resize(std::max(w.width(), width), std::max(w.height(), height));
}

int InRangeOr(int v, int lo, int hi, int def) {
    return v >= lo && v <= hi ? v : def;
}

} // namespace

QString TfZorvTile::SettingsFileName() const {
    return SettingsPath(INIDir);
}

void TfZorvTile::LoadSettings() {
    // The settings folder: remembered in the key store; the first run stores the folder found at start.
    const QString found = INIDir;
    try {
        if (!Registry::KeyExists(KeyPath)) {
            Registry::WriteString(KeyPath, "INILocation", INIDir);
        } else {
            INIDir = Registry::ReadString(KeyPath, "INILocation");
            if (INIDir.isEmpty()) {
                INIDir = found;
            } else if (IsTemporaryFolder(INIDir)) {
                // Settings kept in the temporary folder are lost at reboot and shared between users:
                // they move to the folder found at start.
                QDir().mkpath(found);
                if (!QFile::exists(SettingsPath(found)))
                    QFile::rename(SettingsPath(INIDir), SettingsPath(found));
                INIDir = found;
                Registry::WriteString(KeyPath, "INILocation", INIDir);
            }
        }
    } catch (const std::exception&) {
        // The key store cannot be written: the folder found at start stays.
    }

    const IniFile ini(SettingsFileName());
    if (SettingsGateOpen(ini)) {
        for (int i = 0; i < 66; ++i) {
            auto& v = EffectVals[static_cast<std::size_t>(i)];
            v = ini.ReadInteger(EV, EV + QString::number(i), v);
        }
        for (const TParamKey& k : ParamKeys) k.Read(ini, *this);

        // The window's place and size; values no screen can show give the defaults.
        const int top = InRangeOr(ini.ReadInteger(MF, "Top", 1), -10000, 10000, 1);
        move(x(), top);
        const int left = InRangeOr(ini.ReadInteger(MF, "Left", 195), -10000, 10000, 195);
        move(left, y());
        const int width = InRangeOr(ini.ReadInteger(MF, "Width", 541), 100, 16384, 541);
        resize(width, height());
        const int height = InRangeOr(ini.ReadInteger(MF, "Height", 446), 100, 16384, 446);
        resize(this->width(), height);

        // A pen style that names no mode means Normal.
        Rop2Mode = ini.ReadInteger(MF, "PenStyle", 0);
        if (Rop2Mode < 0 || Rop2Mode > 11) Rop2Mode = 0;
        for (int i = 0; i < 12; ++i) PenItems[static_cast<std::size_t>(i)]->setChecked(i == Rop2Mode);
        ShowSampleTextonTestPage1->setChecked(ini.ReadInteger(MF, "TxtOnTst", 0) == 1);
        DefDir = ini.ReadString(MF, "Default Directory", INIDir);
        PromptforSaveAtTermination1->setChecked(ini.ReadInteger(MF, "SaveDlg", 1) == 1);
        ShowAdj->setChecked(ini.ReadInteger(MF, "ShowAdj", 1) == 1);
        CenterShapes->setChecked(ini.ReadInteger(MF, "CenterShape", 1) == 1);
        SaveImagewithLogFileName1->setChecked(ini.ReadInteger(MF, "SaveWithLog", 0) != 0);
        const int status = ini.ReadInteger(MF, "Status", 1);
        if (status == 2)
            QMetaObject::invokeMethod(
                this, [this] { showMinimized(); }, Qt::QueuedConnection);
        else if (status == 3)
            setWindowState(windowState() | Qt::WindowMaximized);
        // The undo ring needs at least one slot; absurd counts would exhaust memory.
        const int levels = ini.ReadInteger(MF, "UndoLevels", UndoLevels);
        UndoLevels = levels >= TUndoRing::MinLevels && levels <= TUndoRing::MaxLevels ? levels : 15;
    } else {
        SizeForStartImage(*this);
    }
    Gradient = ReadGradient(ini);
    // A place stored under another screen layout is brought back into view.
    KeepOnScreen(this);
}

void TfZorvTile::SaveSettings() {
    WriteSettings(SettingsFileName(), [this](IniFile& ini) { WriteSections(ini); });
}

void TfZorvTile::WriteSections(IniFile& ini) {
    for (int i = 0; i < 66; ++i)
        ini.WriteInteger(EV, EV + QString::number(i), EffectVals[static_cast<std::size_t>(i)]);
    for (const TParamKey& k : ParamKeys) k.Write(ini, *this);

    ini.WriteInteger(MF, "TxtOnTst", ShowSampleTextonTestPage1->isChecked() ? 1 : 0);
    ini.WriteInteger(MF, "SaveDlg", PromptforSaveAtTermination1->isChecked() ? 1 : 0);
    ini.WriteInteger(MF, "ShowAdj", ShowAdj->isChecked() ? 1 : 0);
    ini.WriteInteger(MF, "CenterShape", CenterShapes->isChecked() ? 1 : 0);
    ini.WriteInteger(MF, "SaveWithLog", SaveImagewithLogFileName1->isChecked() ? 1 : 0);
    int pen = 0;
    for (int i = 0; i < 12; ++i)
        if (PenItems[static_cast<std::size_t>(i)]->isChecked()) pen = i;
    ini.WriteInteger(MF, "PenStyle", pen);
    ini.WriteString(MF, "Default Directory", DefDir);
    const bool normal = !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
    if (normal) {
        ini.WriteInteger(MF, "Top", y());
        ini.WriteInteger(MF, "Left", x());
        ini.WriteInteger(MF, "Width", width());
        ini.WriteInteger(MF, "Height", height());
    }
    ini.WriteInteger(MF, "Status",
                     (windowState() & Qt::WindowMinimized)   ? 2
                     : (windowState() & Qt::WindowMaximized) ? 3
                                                             : 1);
    ini.WriteInteger(MF, "UndoLevels", UndoLevels);

    ini.WriteInteger(MG, "bars", Gradient.bars);
    QStringList colors, pos;
    for (std::size_t i = 0; i < Gradient.color.size() && i < Gradient.pos.size(); ++i) {
        colors << RgbList(Gradient.color[i]);
        pos << QString::number(Gradient.pos[i]);
    }
    ini.WriteString(MG, "colors", colors.join(','));
    ini.WriteString(MG, "pos", pos.join(','));
    ini.WriteString(MG, "bkcolor", RgbList(Gradient.bkcolor));
    ini.WriteInteger(MG, "width", Gradient.width);
    ini.WriteInteger(MG, "height", Gradient.height);
    ini.WriteBool(MG, "vertical", Gradient.vertical);
}

void TfZorvTile::ChangeINIlocation1Click() {
    QString chosen = BrowseForFolder(this, "Current Folder: " + INIDir, INIDir);
    if (chosen.isEmpty()) chosen = INIDir;
    chosen = QDir::cleanPath(chosen);
    // A new folder the settings cannot be written to would lose them at exit: the old place stays.
    if (const QString why = chosen == QDir::cleanPath(INIDir) ? QString() : FolderWriteProblem(chosen);
        !why.isEmpty()) {
        ShowMessage(
            QString("The settings cannot be kept in %1: %2.\rThey stay in %3.").arg(chosen, why, INIDir));
        return;
    }
    Registry::WriteString(KeyPath, "INILocation", chosen);
    // Moving onto an existing file fails and changes nothing, as does moving a file onto itself.
    QFile::rename(SettingsPath(INIDir), SettingsPath(chosen));
    INIDir = chosen;
}
