#include "settings/SettingsFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <unistd.h>

namespace mirtal {

namespace {

constexpr const char* kConfig = "CONFIG";
constexpr const char* kPreview = "PREVIEW CFG";
constexpr const char* kOcr = "OCR SETTING";
constexpr const char* kTimingAndPosition = "BMP OUT TC & RES";
constexpr const char* kNativeOutput = "MIRTAL OUTPUT";
constexpr const char* kIAuthorOutput = "IAUTHOR OUTPUT";
constexpr const char* kPhilipsOutput = "PHILIPS OUTPUT";
constexpr const char* kCropping = "BMP OUT CROPPING";
constexpr const char* kColour = "BMP OUT COLOR";
constexpr const char* kPositioning = "BMP OUT POSITIONING";

std::string indexed(const char* stem, size_t i) {
    return stem + std::to_string(i);
}

// The range of every numeric key of the settings file and the profiles. A
// value outside it, or one that is not a number at all, is not used: the key
// takes its default, or the nearest bound where asking for more (a larger
// zoom, a wider band, a shift off the frame) means the most there is. Each
// such value gives one warning. Every value the windows can set lies
// inside; MaxLineHeight starts at 1, since 0 would skip every line.
enum class OutOfRange : uint8_t { Default, Nearest };
struct KeyRange {
    const char* section;
    const char* key; // a key ending in '_' stands for key0 .. key3
    int32_t min, max;
    OutOfRange use = OutOfRange::Default;
};

constexpr int32_t kColourMax = 0xFFFFFF;
constexpr OutOfRange kNearest = OutOfRange::Nearest;

constexpr KeyRange kKeyRanges[] = {
    {kConfig, "ActionMode", 0, 3},
    {kPreview, "Zoom", 1, 65535, kNearest},
    {kPreview, "BorderColor", 0, kColourMax},
    {kPreview, "InnerColor", 0, kColourMax},
    {kPreview, "BackMode", 0, 3},
    {kPreview, "AspectRatioMode", 0, 2},
    {kPreview, "FreeAspectRatio", 0, 288, kNearest},
    {kOcr, "MinLineHeight", 0, 45},
    {kOcr, "MaxLineHeight", 1, 45},
    {kOcr, "MinInterLine", 1, 50},
    {kOcr, "MinCharWidth", 1, 45},
    {kOcr, "MinCharHeight", 1, 45},
    {kOcr, "SpaceWidth", -10, 45},
    {kOcr, "ItaSpaceWidth", -10, 45},
    {kOcr, "DetectItaWidth", -10, 10},
    {kOcr, "Sensibility", 0, 1000},
    {kOcr, "MaxCharDiffWidth", 0, 45},
    {kOcr, "MaxCharDiffHeight", 0, 45},
    {kOcr, "MaxCharDiffTop", 0, 45},
    {kOcr, "NameGlyphs", 0, 2},
    {kNativeOutput, "Encoding", 0, 1},
    {kIAuthorOutput, "Color_", 0, kColourMax},
    {kIAuthorOutput, "Blend_", 0, 15},
    {kIAuthorOutput, "MinimumInterval", 0, 65535},
    {kPhilipsOutput, "FrameRate", 0, 1},
    {kPhilipsOutput, "Color_", 0, kColourMax},
    {kPhilipsOutput, "Contrast_", 0, 15},
    {kCropping, "MinX", 0, 720, kNearest},
    {kCropping, "MinY", 0, 576, kNearest},
    {kCropping, "DivX", 1, 32},
    {kCropping, "DivY", 1, 32},
    {kCropping, "XPosMode", 0, 2},
    {kCropping, "YPosMode", 0, 2},
    {kCropping, "PosShift.X", -720, 720, kNearest},
    {kCropping, "PosShift.Y", -576, 576, kNearest},
    {kColour, "BitPerPixel", 4, 8}, // 8, or anything else for 4
    {kColour, "Color_", 0, kColourMax},
    {kColour, "PresetColorPalIndex", 0, 2},
    {kColour, "ColorPalIndex_", 0, 15},
    {kColour, "UnusedColor", 0, kColourMax},
    {kPositioning, "XPosMode", 0, 3},
    {kPositioning, "SetTo.X", 0, 719, kNearest},
    {kPositioning, "PosShift.X", -720, 720, kNearest},
    {kPositioning, "YPosMode", 0, 3},
    {kPositioning, "SetTo.Y", 0, 575, kNearest},
    {kPositioning, "PosShift.Y", -576, 576, kNearest},
};

const KeyRange& rangeOf(std::string_view section, std::string_view key) {
    for (const KeyRange& r : kKeyRanges) {
        const std::string_view k = r.key;
        if (r.section == section &&
            (k == key || (k.ends_with('_') && key.size() == k.size() + 1 && key.starts_with(k))))
            return r;
    }
    std::abort(); // every key we read is in the table
}

// Reads numbers within their ranges, noting every value it does not use.
class Numbers {
public:
    Numbers(const IniFile& ini, SettingsWarnings* warnings) : m_ini(ini), m_warnings(warnings) {}

    int32_t operator()(const char* section, const std::string& key, int32_t fallback) const {
        const std::optional<std::string> text = m_ini.value(section, key);
        if (!text) return fallback;
        const KeyRange& range = rangeOf(section, key);
        const std::optional<int64_t> n = IniFile::parseInteger(*text);
        if (n && *n >= range.min && *n <= range.max) return int32_t(*n);
        int32_t used = fallback;
        if (n && range.use == OutOfRange::Nearest) used = *n < range.min ? range.min : range.max;
        if (m_warnings)
            m_warnings->texts.push_back(
                m_warnings->file + ": [" + section + "] " + key + "=" + *text +
                (n ? " is outside " + std::to_string(range.min) + ".." + std::to_string(range.max)
                   : std::string(" is not a number")) +
                ", " + std::to_string(used) + " is used instead");
        return used;
    }
    uint8_t u8(const char* s, const std::string& k, uint8_t d) const {
        return uint8_t((*this)(s, k, d));
    }
    uint16_t u16(const char* s, const std::string& k, uint16_t d) const {
        return uint16_t((*this)(s, k, d));
    }
    Colour colour(const char* s, const std::string& k, Colour d) const {
        return Colour((*this)(s, k, int32_t(d)));
    }

private:
    const IniFile& m_ini;
    SettingsWarnings* m_warnings;
};

void writeColour(IniFile& ini, const char* s, const std::string& k, Colour c) {
    ini.writeInteger(s, k, int32_t(c));
}

Result loadExisting(const fs::path& file, IniFile& ini) {
    std::error_code ec;
    if (!fs::exists(file, ec))
        return Result::failure("Cannot open " + file.string() + ": " +
                               (ec ? ec.message() : systemErrorText(ENOENT)));
    return ini.load(file);
}

// Changes some sections of a file and leaves the rest as it is.
template <typename Change> Result updateFile(const fs::path& file, Change change) {
    IniFile ini;
    if (Result r = ini.load(file); !r) return r;
    change(ini);
    return ini.save(file);
}

} // namespace

bool isWritableFolder(const fs::path& folder) {
    std::error_code ec;
    return !folder.empty() && fs::is_directory(folder, ec) &&
           ::access(folder.c_str(), W_OK | X_OK) == 0;
}

fs::path installedDataFolder(const fs::path& programFolder) {
    // The build sets the path from the executable's install folder to the
    // data's, so that any layout it installs is recognised.
    const fs::path data = (programFolder / MIRTAL_DATA_FROM_BIN).lexically_normal();
    std::error_code ec;
    return fs::is_directory(data / "lang", ec) ? data : fs::path();
}

fs::path settingsFolderFor(const fs::path& programFolder, const std::string& xdgConfigHome,
                           const std::string& home) {
    // Even where it may (root, a prefix of the user's own), an installed
    // program writes nothing beside its executable.
    if (installedDataFolder(programFolder).empty() && isWritableFolder(programFolder))
        return programFolder;
    fs::path base;
    if (!xdgConfigHome.empty() && fs::path(xdgConfigHome).is_absolute())
        base = xdgConfigHome;
    else if (!home.empty())
        base = fs::path(home) / ".config";
    else
        return programFolder; // nowhere better; saving will say why it fails
    return base / "Mirtal";
}

fs::path settingsFolderFor(const fs::path& programFolder) {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    return settingsFolderFor(programFolder, xdg ? xdg : "", home ? home : "");
}

fs::path dialogStartFolder(const fs::path& programFolder, const std::string& home) {
    if (home.empty() || installedDataFolder(programFolder).empty()) return programFolder;
    return home;
}

fs::path dialogStartFolder(const fs::path& programFolder) {
    const char* home = std::getenv("HOME");
    return dialogStartFolder(programFolder, home ? home : "");
}

std::string folderText(const fs::path& folder) {
    std::string s = folder.string();
    if (s.empty() || s.back() != '/') s += '/';
    return s;
}

void readSettings(const IniFile& ini, const std::string& programFolder, ProgramSettings& p,
                  OcrSettings& ocr, OutputOptions& output, SettingsWarnings* warnings) {
    const Numbers num(ini, warnings);
    const ProgramSettings d;
    p.OpenDialogCharMatrix = ini.readString(kConfig, "OpenDialogCharMatrix", programFolder);
    p.SaveDialogCharMatrix = ini.readString(kConfig, "SaveDialogCharMatrix", programFolder);
    p.SaveDialogBmpSup = ini.readString(kConfig, "SaveDialogBmpSup", programFolder);
    p.OpenDialogVob = ini.readString(kConfig, "OpenDialogVob", programFolder);
    p.OpenDialogMirtalText = ini.readString(kConfig, "OpenDialogMirtalText", programFolder);
    p.SaveDialogText = ini.readString(kConfig, "SaveDialogText", programFolder);
    p.LanguageFileName = ini.readString(kConfig, "LanguageFileName", d.LanguageFileName);
    p.AutoScrollDown = ini.readBool(kConfig, "AutoScrollDown", d.AutoScrollDown);
    p.ActionMode = num(kConfig, "ActionMode", d.ActionMode);
    p.ForcedOnly = ini.readBool(kConfig, "ForcedOnly", d.ForcedOnly);
    p.FromVideoStart = ini.readBool(kConfig, "FromVideoStart", d.FromVideoStart);

    const PreviewSettings& dp = d.Preview;
    PreviewSettings& v = p.Preview;
    v.AtTruePos = ini.readBool(kPreview, "AtTruePos", dp.AtTruePos);
    v.Zoom = num.u16(kPreview, "Zoom", dp.Zoom);
    v.AutoZoom = ini.readBool(kPreview, "AutoZoom", dp.AutoZoom);
    v.BorderColor = num.colour(kPreview, "BorderColor", dp.BorderColor);
    v.InnerColor = num.colour(kPreview, "InnerColor", dp.InnerColor);
    v.BackMode = num.u8(kPreview, "BackMode", dp.BackMode);
    v.AspectRatioMode = num.u8(kPreview, "AspectRatioMode", dp.AspectRatioMode);
    v.FreeAspectRatio = num.u16(kPreview, "FreeAspectRatio", dp.FreeAspectRatio);
    v.BackImageName = ini.readString(kPreview, "BackImageName", dp.BackImageName);

    readOcrSettings(ini, ocr, warnings);

    p.WithTimingAndPosition = ini.readBool(kTimingAndPosition, "Enabled", d.WithTimingAndPosition);

    const OutputOptions od;
    output.native.ExtendedFormat =
        ini.readBool(kNativeOutput, "Extended", od.native.ExtendedFormat);
    // 1 is UTF-8; anything else the code page every older file was written in.
    output.Encoding =
        num(kNativeOutput, "Encoding", 0) == 1 ? TextEncoding::Utf8 : TextEncoding::Cp1252;

    IAuthorOptions& ia = output.iauthor;
    for (size_t i = 0; i < 4; ++i)
        ia.Colors[i] = num.colour(kIAuthorOutput, indexed("Color_", i), od.iauthor.Colors[i]);
    for (size_t i = 0; i < 4; ++i)
        ia.Blend[i] = uint8_t(num(kIAuthorOutput, indexed("Blend_", i), od.iauthor.Blend[i]));
    ia.MinInterval = num.u16(kIAuthorOutput, "MinimumInterval", od.iauthor.MinInterval);

    PhilipsOptions& ph = output.philips;
    ph.FrameRate = num.u8(kPhilipsOutput, "FrameRate", od.philips.FrameRate);
    ph.DropFrame = ini.readBool(kPhilipsOutput, "DropFrame", od.philips.DropFrame);
    ph.UseBmpColors = ini.readBool(kPhilipsOutput, "UseBmpColor", od.philips.UseBmpColors);
    for (size_t i = 0; i < 4; ++i)
        ph.Colors[i] = num.colour(kPhilipsOutput, indexed("Color_", i), od.philips.Colors[i]);
    for (size_t i = 0; i < 4; ++i)
        ph.Contrast[i] =
            uint8_t(num(kPhilipsOutput, indexed("Contrast_", i), od.philips.Contrast[i]));
}

void writeSettings(IniFile& ini, const ProgramSettings& p, const OutputOptions& output) {
    ini.writeString(kConfig, "OpenDialogCharMatrix", p.OpenDialogCharMatrix);
    ini.writeString(kConfig, "SaveDialogCharMatrix", p.SaveDialogCharMatrix);
    ini.writeString(kConfig, "SaveDialogBmpSup", p.SaveDialogBmpSup);
    ini.writeString(kConfig, "OpenDialogVob", p.OpenDialogVob);
    ini.writeString(kConfig, "OpenDialogMirtalText", p.OpenDialogMirtalText);
    ini.writeString(kConfig, "SaveDialogText", p.SaveDialogText);
    ini.writeString(kConfig, "LanguageFileName", p.LanguageFileName);
    ini.writeBool(kConfig, "AutoScrollDown", p.AutoScrollDown);
    ini.writeInteger(kConfig, "ActionMode", p.ActionMode);
    ini.writeBool(kConfig, "ForcedOnly", p.ForcedOnly);
    ini.writeBool(kConfig, "FromVideoStart", p.FromVideoStart);

    const PreviewSettings& v = p.Preview;
    ini.writeBool(kPreview, "AtTruePos", v.AtTruePos);
    ini.writeInteger(kPreview, "Zoom", v.Zoom);
    ini.writeBool(kPreview, "AutoZoom", v.AutoZoom);
    writeColour(ini, kPreview, "BorderColor", v.BorderColor);
    writeColour(ini, kPreview, "InnerColor", v.InnerColor);
    ini.writeInteger(kPreview, "BackMode", v.BackMode);
    ini.writeInteger(kPreview, "AspectRatioMode", v.AspectRatioMode);
    ini.writeInteger(kPreview, "FreeAspectRatio", v.FreeAspectRatio);
    ini.writeString(kPreview, "BackImageName", v.BackImageName);

    ini.writeBool(kTimingAndPosition, "Enabled", p.WithTimingAndPosition);

    ini.writeBool(kNativeOutput, "Extended", output.native.ExtendedFormat);
    ini.writeInteger(kNativeOutput, "Encoding", int(output.Encoding));

    const IAuthorOptions& ia = output.iauthor;
    for (size_t i = 0; i < 4; ++i)
        writeColour(ini, kIAuthorOutput, indexed("Color_", i), ia.Colors[i]);
    for (size_t i = 0; i < 4; ++i)
        ini.writeInteger(kIAuthorOutput, indexed("Blend_", i), ia.Blend[i]);
    ini.writeInteger(kIAuthorOutput, "MinimumInterval", ia.MinInterval);

    const PhilipsOptions& ph = output.philips;
    ini.writeInteger(kPhilipsOutput, "FrameRate", ph.FrameRate);
    ini.writeBool(kPhilipsOutput, "DropFrame", ph.DropFrame);
    ini.writeBool(kPhilipsOutput, "UseBmpColor", ph.UseBmpColors);
    for (size_t i = 0; i < 4; ++i)
        writeColour(ini, kPhilipsOutput, indexed("Color_", i), ph.Colors[i]);
    for (size_t i = 0; i < 4; ++i)
        ini.writeInteger(kPhilipsOutput, indexed("Contrast_", i), ph.Contrast[i]);
}

void readOcrSettings(const IniFile& ini, OcrSettings& o, SettingsWarnings* warnings) {
    const Numbers num(ini, warnings);
    o.MinLineHeight = num.u8(kOcr, "MinLineHeight", o.MinLineHeight);
    o.MaxLineHeight = num.u8(kOcr, "MaxLineHeight", o.MaxLineHeight);
    o.MinInterLine = num.u8(kOcr, "MinInterLine", o.MinInterLine);
    o.MinCharWidth = num.u8(kOcr, "MinCharWidth", o.MinCharWidth);
    o.MinCharHeight = num.u8(kOcr, "MinCharHeight", o.MinCharHeight);
    o.SpaceWidth = num(kOcr, "SpaceWidth", o.SpaceWidth);
    o.ItaSpaceWidth = num(kOcr, "ItaSpaceWidth", o.ItaSpaceWidth);
    o.DetectItaWidth = num(kOcr, "DetectItaWidth", o.DetectItaWidth);
    o.CheckDetachedChar = ini.readBool(kOcr, "CheckDetachedChar", o.CheckDetachedChar);
    o.Sensibility = num.u16(kOcr, "Sensibility", o.Sensibility);
    o.MaxCharDiffWidth = num.u8(kOcr, "MaxCharDiffWidth", o.MaxCharDiffWidth);
    o.MaxCharDiffHeight = num.u8(kOcr, "MaxCharDiffHeight", o.MaxCharDiffHeight);
    o.MaxCharDiffTop = num.u8(kOcr, "MaxCharDiffTop", o.MaxCharDiffTop);
    // Files written before the automatic width existed name fixed widths:
    // they keep them.
    const bool namesWidths = ini.hasKey(kOcr, "SpaceWidth") || ini.hasKey(kOcr, "ItaSpaceWidth");
    o.AutoSpaceWidth = ini.readBool(kOcr, "AutoSpaceWidth", namesWidths ? false : o.AutoSpaceWidth);
    o.NameGlyphs = num.u8(kOcr, "NameGlyphs", o.NameGlyphs);
    o.MarkItalics = ini.readBool(kOcr, "MarkItalics", o.MarkItalics);
}

void writeOcrSettings(IniFile& ini, const OcrSettings& o) {
    ini.writeInteger(kOcr, "MinLineHeight", o.MinLineHeight);
    ini.writeInteger(kOcr, "MaxLineHeight", o.MaxLineHeight);
    ini.writeInteger(kOcr, "MinInterLine", o.MinInterLine);
    ini.writeInteger(kOcr, "MinCharWidth", o.MinCharWidth);
    ini.writeInteger(kOcr, "MinCharHeight", o.MinCharHeight);
    ini.writeInteger(kOcr, "SpaceWidth", o.SpaceWidth);
    ini.writeInteger(kOcr, "ItaSpaceWidth", o.ItaSpaceWidth);
    ini.writeInteger(kOcr, "DetectItaWidth", o.DetectItaWidth);
    ini.writeBool(kOcr, "CheckDetachedChar", o.CheckDetachedChar);
    ini.writeInteger(kOcr, "Sensibility", o.Sensibility);
    ini.writeInteger(kOcr, "MaxCharDiffWidth", o.MaxCharDiffWidth);
    ini.writeInteger(kOcr, "MaxCharDiffHeight", o.MaxCharDiffHeight);
    ini.writeInteger(kOcr, "MaxCharDiffTop", o.MaxCharDiffTop);
    ini.writeBool(kOcr, "AutoSpaceWidth", o.AutoSpaceWidth);
    ini.writeInteger(kOcr, "NameGlyphs", o.NameGlyphs);
    ini.writeBool(kOcr, "MarkItalics", o.MarkItalics);
}

void readBmpOutputSettings(const IniFile& ini, BmpOutputSettings& bmp, SettingsWarnings* warnings) {
    const Numbers num(ini, warnings);
    const BmpOutputSettings d;
    BmpCropping& c = bmp.Cropping;
    c.Enabled = ini.readBool(kCropping, "Enabled", d.Cropping.Enabled);
    c.MinX = num.u16(kCropping, "MinX", d.Cropping.MinX);
    c.MinY = num.u16(kCropping, "MinY", d.Cropping.MinY);
    c.DivX = num.u16(kCropping, "DivX", d.Cropping.DivX);
    c.DivY = num.u16(kCropping, "DivY", d.Cropping.DivY);
    c.XPosMode = num.u8(kCropping, "XPosMode", d.Cropping.XPosMode);
    c.YPosMode = num.u8(kCropping, "YPosMode", d.Cropping.YPosMode);
    c.PosShift.X = num(kCropping, "PosShift.X", d.Cropping.PosShift.X);
    c.PosShift.Y = num(kCropping, "PosShift.Y", d.Cropping.PosShift.Y);

    BmpColours& k = bmp.Colors;
    k.BitPerPixel = num(kColour, "BitPerPixel", d.Colors.BitPerPixel) == 8 ? 8 : 4;
    for (size_t i = 0; i < 4; ++i)
        k.Color[i] = num.colour(kColour, indexed("Color_", i), d.Colors.Color[i]);
    k.PresetColorPalIndex = num.u8(kColour, "PresetColorPalIndex", d.Colors.PresetColorPalIndex);
    for (size_t i = 0; i < 4; ++i)
        k.ColorPalIndex[i] =
            uint8_t(num(kColour, indexed("ColorPalIndex_", i), d.Colors.ColorPalIndex[i]));
    k.UnusedColor = num.colour(kColour, "UnusedColor", d.Colors.UnusedColor);

    BmpPositioning& p = bmp.Positioning;
    p.Enabled = ini.readBool(kPositioning, "Enabled", d.Positioning.Enabled);
    p.XPosMode = num.u8(kPositioning, "XPosMode", d.Positioning.XPosMode);
    p.SetTo.X = num(kPositioning, "SetTo.X", d.Positioning.SetTo.X);
    p.PosShift.X = num(kPositioning, "PosShift.X", d.Positioning.PosShift.X);
    p.YPosMode = num.u8(kPositioning, "YPosMode", d.Positioning.YPosMode);
    p.SetTo.Y = num(kPositioning, "SetTo.Y", d.Positioning.SetTo.Y);
    p.PosShift.Y = num(kPositioning, "PosShift.Y", d.Positioning.PosShift.Y);
}

void writeBmpOutputSettings(IniFile& ini, const BmpOutputSettings& bmp) {
    const BmpCropping& c = bmp.Cropping;
    ini.writeBool(kCropping, "Enabled", c.Enabled);
    ini.writeInteger(kCropping, "MinX", c.MinX);
    ini.writeInteger(kCropping, "MinY", c.MinY);
    ini.writeInteger(kCropping, "DivX", c.DivX);
    ini.writeInteger(kCropping, "DivY", c.DivY);
    ini.writeInteger(kCropping, "XPosMode", c.XPosMode);
    ini.writeInteger(kCropping, "YPosMode", c.YPosMode);
    ini.writeInteger(kCropping, "PosShift.X", c.PosShift.X);
    ini.writeInteger(kCropping, "PosShift.Y", c.PosShift.Y);

    const BmpColours& k = bmp.Colors;
    ini.writeInteger(kColour, "BitPerPixel", k.BitPerPixel == 8 ? 8 : 4);
    for (size_t i = 0; i < 4; ++i) writeColour(ini, kColour, indexed("Color_", i), k.Color[i]);
    ini.writeInteger(kColour, "PresetColorPalIndex", k.PresetColorPalIndex);
    for (size_t i = 0; i < 4; ++i)
        ini.writeInteger(kColour, indexed("ColorPalIndex_", i), k.ColorPalIndex[i]);
    writeColour(ini, kColour, "UnusedColor", k.UnusedColor);

    const BmpPositioning& p = bmp.Positioning;
    ini.writeBool(kPositioning, "Enabled", p.Enabled);
    ini.writeInteger(kPositioning, "XPosMode", p.XPosMode);
    ini.writeInteger(kPositioning, "SetTo.X", p.SetTo.X);
    ini.writeInteger(kPositioning, "PosShift.X", p.PosShift.X);
    ini.writeInteger(kPositioning, "YPosMode", p.YPosMode);
    ini.writeInteger(kPositioning, "SetTo.Y", p.SetTo.Y);
    ini.writeInteger(kPositioning, "PosShift.Y", p.PosShift.Y);
}

Result loadSettings(const fs::path& file, const std::string& programFolder,
                    ProgramSettings& program, OcrSettings& ocr, OutputOptions& output,
                    BmpOutputSettings& bmp, SettingsWarnings* warnings) {
    IniFile ini;
    Result r = ini.load(file); // on failure ini is empty: every default
    if (warnings) warnings->file = file.string();
    readSettings(ini, programFolder, program, ocr, output, warnings);
    readBmpOutputSettings(ini, bmp, warnings);
    return r;
}

Result saveSettings(const fs::path& file, const ProgramSettings& program,
                    const OutputOptions& output, const BmpOutputSettings& bmp) {
    return updateFile(file, [&](IniFile& ini) {
        writeSettings(ini, program, output);
        writeBmpOutputSettings(ini, bmp);
    });
}

Result saveOcrSettings(const fs::path& file, const OcrSettings& ocr) {
    return updateFile(file, [&](IniFile& ini) { writeOcrSettings(ini, ocr); });
}

Result loadBmpOutputSettings(const fs::path& file, BmpOutputSettings& bmp,
                             SettingsWarnings* warnings) {
    IniFile ini;
    if (Result r = loadExisting(file, ini); !r) return r;
    // Any other text would only reset every bitmap setting to its default.
    if (!ini.hasSection(kCropping) && !ini.hasSection(kColour) && !ini.hasSection(kPositioning))
        return Result::failure(file.string() + " is not a bitmap settings profile: it has " +
                               "none of the sections [" + kCropping + "], [" + kColour + "], [" +
                               kPositioning + "]");
    if (warnings) warnings->file = file.string();
    readBmpOutputSettings(ini, bmp, warnings);
    return {};
}

Result saveBmpOutputSettings(const fs::path& file, const BmpOutputSettings& bmp) {
    return updateFile(file, [&](IniFile& ini) { writeBmpOutputSettings(ini, bmp); });
}

} // namespace mirtal
