#include "settings/SettingsFile.h"

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
constexpr const char* kColor = "BMP OUT COLOR";
constexpr const char* kPositioning = "BMP OUT POSITIONING";

std::string indexed(const char* stem, size_t i) {
    return stem + std::to_string(i);
}

// Narrower fields keep the low bits of what the file holds.
uint8_t readU8(const IniFile& ini, const char* s, const char* k, uint8_t d) {
    return uint8_t(ini.readInteger(s, k, d));
}
uint16_t readU16(const IniFile& ini, const char* s, const char* k, uint16_t d) {
    return uint16_t(ini.readInteger(s, k, d));
}
Colour readColour(const IniFile& ini, const char* s, const std::string& k, Colour d) {
    return Colour(ini.readInteger(s, k, int32_t(d)));
}
void writeColour(IniFile& ini, const char* s, const std::string& k, Colour c) {
    ini.writeInteger(s, k, int32_t(c));
}

FileResult loadExisting(const fs::path& file, IniFile& ini) {
    std::error_code ec;
    if (!fs::exists(file, ec))
        return FileResult::failure("Cannot open " + file.string() + ": " +
                                   (ec ? ec.message() : systemErrorText(ENOENT)));
    return ini.load(file);
}

// Changes some sections of a file and leaves the rest as it is.
template <typename Change> FileResult updateFile(const fs::path& file, Change change) {
    IniFile ini;
    if (FileResult r = ini.load(file); !r) return r;
    change(ini);
    return ini.save(file);
}

} // namespace

bool IsWritableFolder(const fs::path& folder) {
    std::error_code ec;
    return !folder.empty() && fs::is_directory(folder, ec) &&
           ::access(folder.c_str(), W_OK | X_OK) == 0;
}

fs::path InstalledDataFolder(const fs::path& programFolder) {
    // The build sets the path from the executable's install folder to the
    // data's, so that any layout it installs is recognised.
    const fs::path data = (programFolder / MIRTAL_DATA_FROM_BIN).lexically_normal();
    std::error_code ec;
    return fs::is_directory(data / "lang", ec) ? data : fs::path();
}

fs::path SettingsFolder(const fs::path& programFolder, const std::string& xdgConfigHome,
                        const std::string& home) {
    // Even where it may (root, a prefix of the user's own), an installed
    // program writes nothing beside its executable.
    if (InstalledDataFolder(programFolder).empty() && IsWritableFolder(programFolder))
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

fs::path SettingsFolder(const fs::path& programFolder) {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    return SettingsFolder(programFolder, xdg ? xdg : "", home ? home : "");
}

fs::path DialogStartFolder(const fs::path& programFolder, const std::string& home) {
    if (home.empty() || InstalledDataFolder(programFolder).empty()) return programFolder;
    return home;
}

fs::path DialogStartFolder(const fs::path& programFolder) {
    const char* home = std::getenv("HOME");
    return DialogStartFolder(programFolder, home ? home : "");
}

std::string FolderText(const fs::path& folder) {
    std::string s = folder.string();
    if (s.empty() || s.back() != '/') s += '/';
    return s;
}

void ReadSettings(const IniFile& ini, const std::string& programFolder, ProgramSettings& p,
                  OcrSettings& ocr, OutputOptions& output) {
    const ProgramSettings d;
    p.OpenDialogCharMatrix = ini.readString(kConfig, "OpenDialogCharMatrix", programFolder);
    p.SaveDialogCharMatrix = ini.readString(kConfig, "SaveDialogCharMatrix", programFolder);
    p.SaveDialogBmpSup = ini.readString(kConfig, "SaveDialogBmpSup", programFolder);
    p.OpenDialogVob = ini.readString(kConfig, "OpenDialogVob", programFolder);
    p.OpenDialogMirtalText = ini.readString(kConfig, "OpenDialogMirtalText", programFolder);
    p.SaveDialogText = ini.readString(kConfig, "SaveDialogText", programFolder);
    p.LanguageFileName = ini.readString(kConfig, "LanguageFileName", d.LanguageFileName);
    p.AutoScrollDown = ini.readBool(kConfig, "AutoScrollDown", d.AutoScrollDown);
    p.ActionMode = ini.readInteger(kConfig, "ActionMode", d.ActionMode);
    p.ForcedOnly = ini.readBool(kConfig, "ForcedOnly", d.ForcedOnly);

    const PreviewSettings& dp = d.Preview;
    PreviewSettings& v = p.Preview;
    v.AtTruePos = ini.readBool(kPreview, "AtTruePos", dp.AtTruePos);
    v.Zoom = readU16(ini, kPreview, "Zoom", dp.Zoom);
    v.AutoZoom = ini.readBool(kPreview, "AutoZoom", dp.AutoZoom);
    v.BorderColor = readColour(ini, kPreview, "BorderColor", dp.BorderColor);
    v.InnerColor = readColour(ini, kPreview, "InnerColor", dp.InnerColor);
    v.BackMode = readU8(ini, kPreview, "BackMode", dp.BackMode);
    v.AspectRatioMode = readU8(ini, kPreview, "AspectRatioMode", dp.AspectRatioMode);
    v.FreeAspectRatio = readU16(ini, kPreview, "FreeAspectRatio", dp.FreeAspectRatio);
    v.BackImageName = ini.readString(kPreview, "BackImageName", dp.BackImageName);

    ReadOcrSettings(ini, ocr);

    p.WithTimingAndPosition = ini.readBool(kTimingAndPosition, "Enabled", d.WithTimingAndPosition);

    const OutputOptions od;
    output.native.ExtendedFormat =
        ini.readBool(kNativeOutput, "Extended", od.native.ExtendedFormat);
    // 1 is UTF-8; anything else the code page every older file was written in.
    output.Encoding = ini.readInteger(kNativeOutput, "Encoding", 0) == 1 ? TextEncoding::Utf8
                                                                         : TextEncoding::Cp1252;

    IAuthorOptions& ia = output.iauthor;
    for (size_t i = 0; i < 4; ++i)
        ia.Colors[i] = readColour(ini, kIAuthorOutput, indexed("Color_", i), od.iauthor.Colors[i]);
    for (size_t i = 0; i < 4; ++i)
        ia.Blend[i] =
            uint8_t(ini.readInteger(kIAuthorOutput, indexed("Blend_", i), od.iauthor.Blend[i]));
    ia.MinInterval = readU16(ini, kIAuthorOutput, "MinimumInterval", od.iauthor.MinInterval);

    PhilipsOptions& ph = output.philips;
    ph.FrameRate = readU8(ini, kPhilipsOutput, "FrameRate", od.philips.FrameRate);
    ph.DropFrame = ini.readBool(kPhilipsOutput, "DropFrame", od.philips.DropFrame);
    ph.UseBmpColors = ini.readBool(kPhilipsOutput, "UseBmpColor", od.philips.UseBmpColors);
    for (size_t i = 0; i < 4; ++i)
        ph.Colors[i] = readColour(ini, kPhilipsOutput, indexed("Color_", i), od.philips.Colors[i]);
    for (size_t i = 0; i < 4; ++i)
        ph.Contrast[i] = uint8_t(
            ini.readInteger(kPhilipsOutput, indexed("Contrast_", i), od.philips.Contrast[i]));
}

void WriteSettings(IniFile& ini, const ProgramSettings& p, const OutputOptions& output) {
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

void ReadOcrSettings(const IniFile& ini, OcrSettings& o) {
    o.MinLineHeight = readU8(ini, kOcr, "MinLineHeight", o.MinLineHeight);
    o.MaxLineHeight = readU8(ini, kOcr, "MaxLineHeight", o.MaxLineHeight);
    o.MinInterLine = readU8(ini, kOcr, "MinInterLine", o.MinInterLine);
    o.MinCharWidth = readU8(ini, kOcr, "MinCharWidth", o.MinCharWidth);
    o.MinCharHeight = readU8(ini, kOcr, "MinCharHeight", o.MinCharHeight);
    o.SpaceWidth = ini.readInteger(kOcr, "SpaceWidth", o.SpaceWidth);
    o.ItaSpaceWidth = ini.readInteger(kOcr, "ItaSpaceWidth", o.ItaSpaceWidth);
    o.DetectItaWidth = ini.readInteger(kOcr, "DetectItaWidth", o.DetectItaWidth);
    o.CheckDetachedChar = ini.readBool(kOcr, "CheckDetachedChar", o.CheckDetachedChar);
    o.Sensibility = readU16(ini, kOcr, "Sensibility", o.Sensibility);
    o.MaxCharDiffWidth = readU8(ini, kOcr, "MaxCharDiffWidth", o.MaxCharDiffWidth);
    o.MaxCharDiffHeight = readU8(ini, kOcr, "MaxCharDiffHeight", o.MaxCharDiffHeight);
    o.MaxCharDiffTop = readU8(ini, kOcr, "MaxCharDiffTop", o.MaxCharDiffTop);
    o.AutoSpaceWidth = ini.readBool(kOcr, "AutoSpaceWidth", o.AutoSpaceWidth);
}

void WriteOcrSettings(IniFile& ini, const OcrSettings& o) {
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
}

void ReadBmpOutputSettings(const IniFile& ini, BmpOutputSettings& bmp) {
    const BmpOutputSettings d;
    BmpCropping& c = bmp.Cropping;
    c.Enabled = ini.readBool(kCropping, "Enabled", d.Cropping.Enabled);
    c.MinX = readU16(ini, kCropping, "MinX", d.Cropping.MinX);
    c.MinY = readU16(ini, kCropping, "MinY", d.Cropping.MinY);
    c.DivX = readU16(ini, kCropping, "DivX", d.Cropping.DivX);
    c.DivY = readU16(ini, kCropping, "DivY", d.Cropping.DivY);
    c.XPosMode = readU8(ini, kCropping, "XPosMode", d.Cropping.XPosMode);
    c.YPosMode = readU8(ini, kCropping, "YPosMode", d.Cropping.YPosMode);
    c.PosShift.X = ini.readInteger(kCropping, "PosShift.X", d.Cropping.PosShift.X);
    c.PosShift.Y = ini.readInteger(kCropping, "PosShift.Y", d.Cropping.PosShift.Y);

    BmpColors& k = bmp.Colors;
    k.BitPerPixel = ini.readInteger(kColor, "BitPerPixel", d.Colors.BitPerPixel) == 8 ? 8 : 4;
    for (size_t i = 0; i < 4; ++i)
        k.Color[i] = readColour(ini, kColor, indexed("Color_", i), d.Colors.Color[i]);
    k.PresetColorPalIndex =
        readU8(ini, kColor, "PresetColorPalIndex", d.Colors.PresetColorPalIndex);
    for (size_t i = 0; i < 4; ++i)
        k.ColorPalIndex[i] = uint8_t(
            ini.readInteger(kColor, indexed("ColorPalIndex_", i), d.Colors.ColorPalIndex[i]));
    k.UnusedColor = readColour(ini, kColor, "UnusedColor", d.Colors.UnusedColor);

    BmpPositioning& p = bmp.Positioning;
    p.Enabled = ini.readBool(kPositioning, "Enabled", d.Positioning.Enabled);
    p.XPosMode = readU8(ini, kPositioning, "XPosMode", d.Positioning.XPosMode);
    p.SetTo.X = ini.readInteger(kPositioning, "SetTo.X", d.Positioning.SetTo.X);
    p.PosShift.X = ini.readInteger(kPositioning, "PosShift.X", d.Positioning.PosShift.X);
    p.YPosMode = readU8(ini, kPositioning, "YPosMode", d.Positioning.YPosMode);
    p.SetTo.Y = ini.readInteger(kPositioning, "SetTo.Y", d.Positioning.SetTo.Y);
    p.PosShift.Y = ini.readInteger(kPositioning, "PosShift.Y", d.Positioning.PosShift.Y);
}

void WriteBmpOutputSettings(IniFile& ini, const BmpOutputSettings& bmp) {
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

    const BmpColors& k = bmp.Colors;
    ini.writeInteger(kColor, "BitPerPixel", k.BitPerPixel == 8 ? 8 : 4);
    for (size_t i = 0; i < 4; ++i) writeColour(ini, kColor, indexed("Color_", i), k.Color[i]);
    ini.writeInteger(kColor, "PresetColorPalIndex", k.PresetColorPalIndex);
    for (size_t i = 0; i < 4; ++i)
        ini.writeInteger(kColor, indexed("ColorPalIndex_", i), k.ColorPalIndex[i]);
    writeColour(ini, kColor, "UnusedColor", k.UnusedColor);

    const BmpPositioning& p = bmp.Positioning;
    ini.writeBool(kPositioning, "Enabled", p.Enabled);
    ini.writeInteger(kPositioning, "XPosMode", p.XPosMode);
    ini.writeInteger(kPositioning, "SetTo.X", p.SetTo.X);
    ini.writeInteger(kPositioning, "PosShift.X", p.PosShift.X);
    ini.writeInteger(kPositioning, "YPosMode", p.YPosMode);
    ini.writeInteger(kPositioning, "SetTo.Y", p.SetTo.Y);
    ini.writeInteger(kPositioning, "PosShift.Y", p.PosShift.Y);
}

FileResult LoadSettings(const fs::path& file, const std::string& programFolder,
                        ProgramSettings& program, OcrSettings& ocr, OutputOptions& output,
                        BmpOutputSettings& bmp) {
    IniFile ini;
    FileResult r = ini.load(file); // on failure ini is empty: every default
    ReadSettings(ini, programFolder, program, ocr, output);
    ReadBmpOutputSettings(ini, bmp);
    return r;
}

FileResult SaveSettings(const fs::path& file, const ProgramSettings& program,
                        const OutputOptions& output, const BmpOutputSettings& bmp) {
    return updateFile(file, [&](IniFile& ini) {
        WriteSettings(ini, program, output);
        WriteBmpOutputSettings(ini, bmp);
    });
}

FileResult SaveOcrSettings(const fs::path& file, const OcrSettings& ocr) {
    return updateFile(file, [&](IniFile& ini) { WriteOcrSettings(ini, ocr); });
}

FileResult LoadBmpOutputSettings(const fs::path& file, BmpOutputSettings& bmp) {
    IniFile ini;
    if (FileResult r = loadExisting(file, ini); !r) return r;
    ReadBmpOutputSettings(ini, bmp);
    return {};
}

FileResult SaveBmpOutputSettings(const fs::path& file, const BmpOutputSettings& bmp) {
    return updateFile(file, [&](IniFile& ini) { WriteBmpOutputSettings(ini, bmp); });
}

} // namespace mirtal
