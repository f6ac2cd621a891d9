#include "rip/RipEngine.h"

#include "export/SupFile.h"
#include "rip/PackFile.h"
#include "rip/Subpicture.h"
#include "rip/VobSubIndex.h"
#include "rip/VobSubTrack.h"

#include <algorithm>
#include <exception>
#include <system_error>

namespace mirtal {

namespace {

constexpr uint32_t kPacksPerProgress = 512;
constexpr uint32_t kProgressPerEstimate = 20;

// Far enough for any disc's first video packet, which follows its first
// navigation pack.
constexpr uint32_t kVideoStartSearchPacks = 4096;

// The first video presentation time of a file from pack `first` on, in ms;
// 0 when it has none. With `orClock`, the clock of that first pack instead.
int64_t videoStartMs(const std::filesystem::path& path, uint32_t first = 0, bool orClock = false) {
    PackFile file;
    if (!file.open(path) || !file.seekPack(first)) return 0;
    for (uint32_t i = 0; i < kVideoStartSearchPacks && !file.atEnd(); ++i) {
        const uint8_t* pack = file.nextPack();
        if (!pack) break;
        const std::span<const uint8_t, kPackSize> p(pack, kPackSize);
        if (orClock) return std::max<int32_t>(Demuxer::packClock(p).value_or(0), 0) / 90;
        if (auto pts = Demuxer::videoPts(p)) return *pts / 90;
    }
    return 0;
}

// A title's time line: its first frame lies this long after its first
// pack's clock (the multiplexer's delay), and a chapter's first frame as long
// after the chapter's start.
int64_t titleReferenceMs(const JobSetup& setup) {
    const auto& file = setup.files.front();
    const uint32_t first = setup.ranges.front().first;
    const int64_t frame = videoStartMs(file, first);
    if (setup.fromVideoStart) return frame;
    if (frame == 0) return videoStartMs(file, first, true);
    const auto& titleFile = setup.titleFile.empty() ? file : setup.titleFile;
    const uint32_t titlePack = setup.titleFile.empty() ? first : setup.titlePack;
    const int64_t delay =
        videoStartMs(titleFile, titlePack) - videoStartMs(titleFile, titlePack, true);
    return std::max<int64_t>(frame - delay, 0);
}

// Where a new time line starts: at a title's first pack (its first video
// frame with fromVideoStart), at the first video frame of a job of whole
// files that asks for it, else at the stream clock's zero.
int64_t timeReferenceMs(const JobSetup& setup) {
    if (!setup.ranges.empty()) return titleReferenceMs(setup);
    return setup.fromVideoStart ? videoStartMs(setup.files.front()) : 0;
}

// The bytes of a file that a range covers.
uint64_t rangeBytes(uint64_t fileBytes, const PackRange& r) {
    const uint64_t end = std::min<uint64_t>(fileBytes, uint64_t(r.end) * kPackSize);
    const uint64_t first = uint64_t(r.first) * kPackSize;
    return end > first ? end - first : 0;
}

std::string fileNamePart(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

RipEngine::RipEngine(Host& host, const MessageCatalogue& catalogue, RipJob& job, Demuxer& demuxer,
                     Subpicture& subpicture, RipDisplay& display, SubtitleSink& subtitles)
    : m_host(host), m_catalogue(catalogue), m_job(job), m_demuxer(demuxer),
      m_subpicture(subpicture), m_display(display), m_subtitles(subtitles) {}

Result RipEngine::startJob(const JobSetup& setup) {
    if (setup.files.empty() || setup.files.size() > RipJob::kMaxFiles) {
        return Result::failure(setup.files.empty() ? "No VOB selected !!"
                                                   : "A job holds at most 1024 files");
    }
    if (!setup.indexes.empty() && setup.indexes.size() != setup.files.size()) {
        return Result::failure("The job's VobSub indexes do not match its files");
    }
    if (!setup.ranges.empty() && setup.ranges.size() != setup.files.size()) {
        return Result::failure("The job's pack ranges do not match its files");
    }
    m_job.FileList = setup.files;
    m_job.FileRanges = setup.ranges;
    m_job.FileRanges.resize(setup.files.size());
    m_job.FileSizeKb.assign(setup.files.size(), 0);
    m_job.TotalSizeKb = 0;
    for (size_t i = 0; i < setup.files.size(); ++i) {
        std::error_code ec;
        uint64_t bytes = std::filesystem::file_size(setup.files[i], ec);
        bytes = ec ? 0 : rangeBytes(bytes, m_job.FileRanges[i]);
        m_job.FileSizeKb[i] = uint32_t(std::min<uint64_t>(bytes >> 10, UINT32_MAX));
        m_job.TotalSizeKb += m_job.FileSizeKb[i];
    }
    if (setup.action == kActionVobSub && setup.vobSubName.empty()) {
        return Result::failure("No name given for the VobSub files");
    }
    m_job.Action = setup.action;
    m_job.WithTimingAndPosition = setup.withTimingAndPosition;
    m_job.PicturePrefix = setup.picturePrefix;
    m_job.ShowSubPict = setup.showSubPict;
    m_job.ForcedOnly = setup.forcedOnly;
    m_job.FileIndex = setup.indexes;
    m_job.FileIndex.resize(setup.files.size());
    m_job.VobSubName = setup.vobSubName;
    if (setup.action == kActionVobSub)
        m_job.VobSubInfo =
            describeVobSubTrack(setup.files, m_job.FileIndex, m_job.SubtitleStreamId);
    m_vobSub.clear();
    m_job.TotalPictures = 0;
    m_job.DamagedPictures = m_job.MissingPictures = 0;
    m_job.Problems.clear();
    m_job.CurrentFile = 1;
    m_job.ContinuePack = 0;
    m_job.ContinuePackFixed = false;
    m_job.SubpictureStartPack = 0;
    m_job.Busy = false;
    m_halted = false;
    // Only a job that starts a time line at zero chooses its reference; one
    // that continues a time line keeps the reference that line has.
    if (m_demuxer.rebasePending())
        m_demuxer.setVideoStartMs(m_demuxer.lastTimeCode().isZero() ? timeReferenceMs(setup) : 0);
    m_demuxer.startJob();
    if (m_job.Paused) togglePause();
    return {};
}

TickResult RipEngine::tick() {
    if (m_job.Busy || m_job.Paused) return TickResult::Nothing;
    if (m_job.finished()) return TickResult::Nothing;
    const std::filesystem::path& path = m_job.FileList[m_job.CurrentFile - 1];
    m_display.vobFile = path.filename().string();
    m_display.vobNumber = m_job.CurrentFile;
    m_display.vobCount = uint32_t(m_job.FileList.size());
    if (m_job.CurrentFile == 1 && m_job.ContinuePack == 0 && !m_job.ContinuePackFixed)
        m_job.Elapsed = {};
    return processVobFile(path);
}

TickResult RipEngine::processVobFile(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        publish();
        return TickResult::MissingFile;
    }
    beginFile();
    const VobSubIndex* index = m_job.CurrentFile - 1 < m_job.FileIndex.size()
                                   ? m_job.FileIndex[m_job.CurrentFile - 1].get()
                                   : nullptr;
    if (m_job.ContinuePack == 0 && !m_job.ContinuePackFixed) m_indexFound.clear();
    m_frameWidth = index ? index->frameWidth : kFrameWidth;
    m_frameHeight = index ? index->frameHeight : kFrameHeight;
    PackFile file;
    const PackRange range = m_job.FileRanges[m_job.CurrentFile - 1];
    const bool fromStart = m_job.ContinuePack == 0 && !m_job.ContinuePackFixed;
    m_filePos = fromStart ? range.first : m_job.ContinuePack;
    m_rangeStartBytes = uint64_t(range.first) * kPackSize;
    m_fileBytes = m_rangeStartBytes;
    if (!file.open(path, index != nullptr) || !file.seekPack(m_filePos))
        return abandonFile(path, file);
    m_job.ContinuePack = 0;
    m_job.ContinuePackFixed = false;
    m_fileBytes = file.nextOffset();
    if (fromStart) m_unitEnd = UINT32_MAX;
    while (!file.atEnd() && m_filePos < range.end) {
        if (m_filePos > m_unitEnd) {
            if (m_nextUnit >= range.end || !file.seekPack(m_nextUnit)) break;
            m_filePos = m_nextUnit;
            m_fileBytes = file.nextOffset();
            m_unitEnd = UINT32_MAX;
        }
        if (m_filePos % kPacksPerProgress == 0) {
            updateProgress();
            if ((m_filePos / kPacksPerProgress) % kProgressPerEstimate == 0) updateRemainingTime();
        }
        const uint8_t* pack = file.nextPack();
        if (!pack) return abandonFile(path, file);
        ++m_filePos;
        m_fileBytes = file.nextOffset();
        if (!processPack(std::span<const uint8_t, kPackSize>(pack, kPackSize), file, index))
            return TickResult::Processed;
        if (auto unit = m_demuxer.nextUnit(); unit && range.interleaved) {
            m_unitEnd = m_filePos - 1 + unit->lastPack;
            m_nextUnit = m_filePos - 1 + unit->next;
        }
    }
    updateProgress();
    file.close();
    if (index) noteMissingFromIndex(*index, path);
    finishFile();
    return TickResult::Processed;
}

// The counters and estimates at the start of a file, or of its remainder
// after a pause.
void RipEngine::beginFile() {
    m_job.Busy = true;
    m_display.pauseEnabled = true;
    m_display.openVobEnabled = false;
    m_lastTick = m_lastEstimateTick = m_host.tickMs();
    m_lastEstimatePosKb = 0;
    m_msPerMb = 0;
    if (m_job.ContinuePack == 0 && !m_job.ContinuePackFixed) {
        m_job.VobPictures = 0;
        m_display.progressPercent = 0;
        m_display.filePictures = 0;
        m_display.jobPictures = m_job.TotalPictures;
    }
    m_streamId = m_job.SubtitleStreamId;
    m_kbBefore = 0;
    for (uint32_t i = 0; i + 1 < m_job.CurrentFile && i < m_job.FileSizeKb.size(); ++i)
        m_kbBefore += m_job.FileSizeKb[i];
}

// The file cannot be read (further): said, and the job goes on with the next.
TickResult RipEngine::abandonFile(const std::filesystem::path& path, PackFile& file) {
    reportUnreadable(path, file.error());
    file.close();
    dropUnfinishedSpu();
    finishFile();
    return TickResult::Processed;
}

bool RipEngine::processPack(std::span<const uint8_t, kPackSize> pack, const PackFile& file,
                            const VobSubIndex* index) {
    const bool spuWasEmpty = !m_demuxer.assemblingSpu();
    const PackKind kind =
        m_demuxer.processPack(pack, m_filePos, m_streamId, m_display, m_job.SubpictureStartPack);
    if (spuWasEmpty && m_demuxer.assemblingSpu()) {
        m_spuStartFile = m_job.CurrentFile;
        m_spuStartPack = m_job.SubpictureStartPack;
        // A VobSub's packets may carry no usable PTS; its index is what
        // players go by, so its timestamp wins.
        if (index)
            if (auto entry = index->find(m_streamId, file.packOffset())) {
                m_demuxer.timeSpuFromIndex(entry->startMs);
                m_indexFound.insert(entry->filePos);
            }
    }
    switch (kind) {
    case PackKind::BadHeader:
        return goOnAfterBadPack();
    case PackKind::SpuComplete:
        completeSpu();
        return true;
    case PackKind::Other:
        if (m_job.Paused && !m_demuxer.assemblingSpu()) {
            pauseHere();
            return false;
        }
        break;
    case PackKind::Navigation:
    case PackKind::Subtitle:
        break;
    }
    return true;
}

bool RipEngine::goOnAfterBadPack() {
    const std::string text = m_catalogue.text(Message::BadPacketHeader) +
                             std::to_string(m_filePos) + "\r" +
                             m_catalogue.text(Message::ContinueAfterBadPacket);
    if (m_host.ask(MessageKind::Warning, {Answer::Yes, Answer::No}, text) != Answer::No)
        return true;
    stopJob();
    return false;
}

void RipEngine::completeSpu() {
    if (m_job.ForcedOnly && !startsForced(m_demuxer.spu())) {
        m_demuxer.clearSpu();
        return;
    }
    ++m_job.VobPictures;
    ++m_job.TotalPictures;
    if (const char* damage = spuDamage(m_demuxer.spu(), m_frameWidth, m_frameHeight)) {
        noteDamaged(damage);
        m_demuxer.clearSpu();
        return;
    }
    Result r;
    try {
        r = handleSubpicture();
    } catch (const std::exception& e) {
        // The loop's last guard: a failure nothing below foresaw (memory, the
        // file system) stops the job at this subpicture as a failed write
        // does, and what was read stays.
        r = Result::failure(e.what());
    }
    if (!r) reportSubpictureFailure(r.error);
    m_demuxer.clearSpu();
    updateProgress();
}

void RipEngine::pauseHere() {
    m_display.openVobEnabled = true;
    m_job.Busy = false;
    if (!m_job.ContinuePackFixed) m_job.ContinuePack = m_filePos;
    // An SPU to be read again may have begun in the file before.
    if (m_job.ContinuePackFixed && m_rereadFile != 0) m_job.CurrentFile = m_rereadFile;
    publish();
}

void RipEngine::finishFile() {
    m_job.Busy = false;
    m_display.pauseEnabled = false;
    m_display.openVobEnabled = true;
    m_job.ContinuePack = 0;
    m_job.ContinuePackFixed = false;
    m_job.SubpictureStartPack = 0;
    ++m_job.CurrentFile;
    if (m_job.finished() && m_job.Action == kActionVobSub) saveVobSub();
    if (m_job.finished() && !m_job.Problems.empty()) reportProblems();
    publish();
}

void RipEngine::noteDamaged(const char* why) {
    ++m_job.DamagedPictures;
    m_job.Problems.push_back("Subpicture " + std::to_string(m_job.TotalPictures) + " at " +
                             timeCodeToStr(m_demuxer.spuStartTime()) + " skipped: " + why);
}

void RipEngine::noteMissingFromIndex(const VobSubIndex& index, const std::filesystem::path& sub) {
    if (m_streamId < 0x20 || m_streamId >= 0x20 + kSubpictureStreams) return;
    const size_t listed = index.streams[size_t(m_streamId - 0x20)].entries.size();
    if (m_indexFound.size() >= listed) return;
    m_job.MissingPictures += uint32_t(listed - m_indexFound.size());
    m_job.Problems.push_back(
        std::to_string(listed - m_indexFound.size()) + " of the " + std::to_string(listed) +
        " subpictures that its index lists are not in " + sub.filename().string());
}

// Once, when the job ends: the user sees every skipped or missing picture at
// a glance rather than one box per picture.
void RipEngine::reportProblems() {
    std::string text = "The job is incomplete:";
    for (const std::string& line : m_job.Problems) text += "\r" + line;
    m_job.Problems.clear();
    m_host.ask(MessageKind::Warning, {Answer::Ok}, text);
}

void RipEngine::saveVobSub() {
    if (Result r = m_vobSub.save(m_job.VobSubName, m_job.VobSubInfo); !r)
        m_host.ask(MessageKind::Warning, {Answer::Ok}, r.error);
}

uint64_t RipEngine::jobPositionKb() const {
    return m_kbBefore + (m_fileBytes - std::min(m_fileBytes, m_rangeStartBytes)) / 1024;
}

void RipEngine::updateProgress() {
    uint64_t posKb = jobPositionKb();
    uint64_t total = m_job.TotalSizeKb;
    int percent = total == 0 ? 0 : int(std::min<uint64_t>(posKb * 100 / total, 100));
    m_display.progress = RipProgress{posKb, total};
    m_display.progressPercent = percent;
    uint32_t now = m_host.tickMs();
    m_job.Elapsed =
        msToTimeCode(int64_t(timeCodeToMs(m_job.Elapsed)) + int64_t(uint32_t(now - m_lastTick)));
    m_lastTick = now;
    m_display.elapsed = m_job.Elapsed;
    publish();
    m_host.processEvents();
}

void RipEngine::updateRemainingTime() {
    uint32_t now = m_host.tickMs();
    uint64_t posKb = jobPositionKb();
    uint64_t dKb = posKb > m_lastEstimatePosKb ? posKb - m_lastEstimatePosKb : 0;
    if (dKb == 0) dKb = 1;
    int64_t rate = int64_t(uint64_t(uint32_t(now - m_lastEstimateTick)) * 1024 / dKb);
    // Smooth the rate unless it jumped by three quarters or more.
    int64_t diff = m_msPerMb - rate;
    if (diff < 0) diff = -diff;
    if (diff < (3 * rate) / 4) rate = (2 * m_msPerMb + rate) / 3;
    m_msPerMb = rate;
    uint64_t leftKb = m_job.TotalSizeKb > posKb ? m_job.TotalSizeKb - posKb : 0;
    int64_t remainingMs = int64_t(leftKb >> 10) * m_msPerMb;
    m_display.remaining = msToTimeCode(remainingMs);
    m_lastEstimateTick = now;
    m_lastEstimatePosKb = posKb;
}

// Busy stays set, so no tick takes the job up again; there is nothing left
// to pause, and the job setup is open for a new Start.
void RipEngine::stopJob() {
    // What was read is kept: the VobSub pair holds the pictures so far.
    if (m_job.Action == kActionVobSub && m_vobSub.count() > 0) saveVobSub();
    m_job.Busy = true;
    m_halted = true;
    m_display.pauseEnabled = false;
    m_display.openVobEnabled = true;
    publish();
}

void RipEngine::togglePause() {
    m_job.Paused = !m_job.Paused;
    m_job.NoStop = false;
    m_display.paused = m_job.Paused;
    publish();
}

void RipEngine::decode() {
    decodeSpu(m_demuxer.spu(), m_subpicture, m_frameWidth, m_frameHeight);
}

Result RipEngine::handleSubpicture() {
    m_display.filePictures = m_job.VobPictures;
    m_display.jobPictures = m_job.TotalPictures;
    // The actions may stop at a dialog; the counters shown behind it are
    // this picture's.
    publish();
    auto event = [&](DisplayTimes times, std::string fileName) {
        return SubpictureEvent{m_subpicture,        m_subpicture.rect(), times,
                               m_job.TotalPictures, std::move(fileName), m_demuxer.spu()};
    };
    switch (m_job.Action) {
    case kActionOcr: {
        decode();
        DisplayTimes times = computeDisplayTimes();
        if (isDisplayable() && m_actions) m_actions->recognise(*this, event(times, {}));
        break;
    }
    case kActionBmp: {
        std::string file = pictureFileName(m_job.PicturePrefix, m_job.TotalPictures, ".bmp");
        decode();
        if (m_actions)
            return m_actions->saveBitmap(
                *this, event(subpictureDisplayTimes(m_subpicture, m_demuxer.spuStartTime()), file));
        break;
    }
    case kActionSup: {
        std::string file = pictureFileName(m_job.PicturePrefix, m_job.TotalPictures, ".sup");
        if (Result r = saveSupFile(file, m_demuxer.spu()); !r) return r;
        if (m_job.ShowSubPict || m_job.WithTimingAndPosition) {
            decode();
            Rect rect = m_subpicture.rect();
            if (m_job.WithTimingAndPosition) addFileNameEntry(rect, file);
            m_host.showPicture(m_subpicture.Bitmap, rect);
        }
        break;
    }
    case kActionVobSub:
        m_vobSub.add(m_demuxer.spu(), timeCodeToMs(m_demuxer.spuStartTime()));
        if (m_job.ShowSubPict) {
            decode();
            m_host.showPicture(m_subpicture.Bitmap, m_subpicture.rect());
        }
        break;
    case kActionShow:
        decode();
        if (m_actions)
            m_actions->show(
                *this, event(subpictureDisplayTimes(m_subpicture, m_demuxer.spuStartTime()), {}));
        break;
    default:
        break;
    }
    return {};
}

DisplayTimes RipEngine::computeDisplayTimes() {
    DisplayTimes times = subpictureDisplayTimes(m_subpicture, m_demuxer.spuStartTime());
    if (m_subtitles.count() > 0 && m_subtitles.lastStop().isZero())
        m_subtitles.closeLast(times.start);
    return times;
}

bool RipEngine::isDisplayable() const {
    return mirtal::isDisplayable(m_subpicture);
}

void RipEngine::addFileNameEntry(const Rect& rect, const std::string& file) {
    DisplayTimes times = computeDisplayTimes();
    m_subtitles.add({fileNamePart(file)}, times.start, times.stop, rect);
}

void RipEngine::pauseToReprocessSubpicture() {
    // SubpictureStartPack is cleared between files, so the engine keeps its
    // own note of where the SPU began: it may straddle two files.
    m_job.ContinuePack = m_spuStartPack;
    m_job.ContinuePackFixed = true;
    m_rereadFile = m_spuStartFile;
    uncountSubpicture();
    if (!m_job.Paused) togglePause();
}

void RipEngine::uncountSubpicture() {
    if (m_job.VobPictures > 0) --m_job.VobPictures;
    if (m_job.TotalPictures > 0) --m_job.TotalPictures;
}

void RipEngine::reportUnreadable(const std::filesystem::path& path, const std::string& reason) {
    // The catalogue's texts blame encryption; the last line says what really failed.
    std::string text = m_catalogue.text(Message::CannotOpenFile) + path.string() +
                       m_catalogue.text(Message::MightBeEncrypted) + "\r" +
                       m_catalogue.text(Message::TryDecrypting) + "\r(" + reason + ")";
    m_host.ask(MessageKind::Warning, {Answer::Ok}, text);
}

// The rest of a half-assembled SPU was in the part of the job that could not
// be read: glued to the next file's first packets it would swallow that
// file's first subpicture.
void RipEngine::dropUnfinishedSpu() {
    m_demuxer.clearSpu();
}

void RipEngine::reportSubpictureFailure(const std::string& reason) {
    std::string text = "Subpicture " + std::to_string(m_job.TotalPictures) + ": " + reason +
                       "\rThe job pauses here; Continue processes this subpicture again.";
    pauseToReprocessSubpicture();
    m_host.ask(MessageKind::Warning, {Answer::Ok}, text);
}

} // namespace mirtal
