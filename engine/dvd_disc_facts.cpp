// The disc's facts from its IFO files, through libdvdread.
#include "engine/dvd_disc_facts.h"

#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>
#include <dvdread/ifo_types.h>

#include <cstdarg>
#include <map>
#include <vector>

namespace engine {

namespace {

// libdvdread reports every unreadable file on stderr; the user gets one message instead.
void Quiet(void*, dvd_logger_level_t, const char*, va_list) {}
const dvd_logger_cb kQuietLogger = {Quiet};

int Bcd(std::uint8_t value) { return (value >> 4) * 10 + (value & 0x0f); }

}  // namespace

struct DvdDisc::Handles {
  dvd_reader_t* reader = nullptr;
  ifo_handle_t* vmg = nullptr;
  mutable std::map<int, ifo_handle_t*> titleSets;  // opened when first asked

  ~Handles() {
    for (auto& [number, ifo] : titleSets)
      if (ifo) ifoClose(ifo);
    if (vmg) ifoClose(vmg);
    if (reader) DVDClose(reader);
  }

  const title_info_t* Title(int title) const {
    if (!vmg || !vmg->tt_srpt || title < 1 || title > vmg->tt_srpt->nr_of_srpts) return nullptr;
    return &vmg->tt_srpt->title[title - 1];
  }

  ifo_handle_t* TitleSet(int title) const {
    const title_info_t* info = Title(title);
    if (!info) return nullptr;
    auto found = titleSets.find(info->title_set_nr);
    if (found != titleSets.end()) return found->second;
    ifo_handle_t* ifo = ifoOpen(reader, info->title_set_nr);
    titleSets[info->title_set_nr] = ifo;
    return ifo;
  }

  const pgc_t* FirstPgc(int title) const {
    const title_info_t* info = Title(title);
    ifo_handle_t* vts = TitleSet(title);
    if (!info || !vts || !vts->vts_ptt_srpt || !vts->vts_pgcit) return nullptr;
    if (info->vts_ttn < 1 || info->vts_ttn > vts->vts_ptt_srpt->nr_of_srpts) return nullptr;
    const ttu_t& unit = vts->vts_ptt_srpt->title[info->vts_ttn - 1];
    if (unit.nr_of_ptts < 1) return nullptr;
    const int pgcn = unit.ptt[0].pgcn;
    if (pgcn < 1 || pgcn > vts->vts_pgcit->nr_of_pgci_srp) return nullptr;
    return vts->vts_pgcit->pgci_srp[pgcn - 1].pgc;
  }
};

DvdDisc::DvdDisc(std::unique_ptr<Handles> handles) : h_(std::move(handles)) {}
DvdDisc::~DvdDisc() = default;

bool ScrambledPacks(const unsigned char* sectors, int count) {
  constexpr int kSector = 2048;
  for (int s = 0; s < count; ++s) {
    const unsigned char* p = sectors + s * kSector;
    // A pack header (00 00 01 BA, MPEG-2: 14 bytes plus stuffing), then PES packets.
    if (p[0] != 0 || p[1] != 0 || p[2] != 1 || p[3] != 0xBA) continue;
    int at = 14 + (p[13] & 0x07);
    while (at + 7 < kSector && p[at] == 0 && p[at + 1] == 0 && p[at + 2] == 1) {
      const int stream = p[at + 3];
      const int length = (p[at + 4] << 8) | p[at + 5];
      // Video, private (AC-3, sub-pictures) and MPEG audio carry the scrambling bits.
      const bool media = stream == 0xE0 || stream == 0xBD || (stream >= 0xC0 && stream <= 0xDF);
      if (media && (p[at + 6] & 0x30) != 0) return true;
      at += 6 + length;
    }
  }
  return false;
}

std::unique_ptr<DvdDisc> DvdDisc::Open(const std::string& path, DvdGraph::OpenFailure* failure) {
  *failure = DvdGraph::OpenFailure::Unreadable;
  auto h = std::make_unique<Handles>();
  h->reader = DVDOpen2(nullptr, &kQuietLogger, path.c_str());
  if (!h->reader) return nullptr;
  h->vmg = ifoOpen(h->reader, 0);
  if (!h->vmg || !h->vmg->tt_srpt || h->vmg->tt_srpt->nr_of_srpts < 1) return nullptr;
  if (!h->TitleSet(1)) return nullptr;
  // The first title's first packs tell whether the disc is scrambled.
  const title_info_t* first = h->Title(1);
  if (dvd_file_t* file = DVDOpenFile(h->reader, first->title_set_nr, DVD_READ_TITLE_VOBS)) {
    std::vector<unsigned char> sectors(16 * 2048);
    const ssize_t read = DVDReadBlocks(file, 0, 16, sectors.data());
    DVDCloseFile(file);
    if (read > 0 && ScrambledPacks(sectors.data(), static_cast<int>(read))) {
      *failure = DvdGraph::OpenFailure::Encrypted;
      return nullptr;
    }
  } else {
    return nullptr;
  }
  *failure = DvdGraph::OpenFailure::None;
  return std::unique_ptr<DvdDisc>(new DvdDisc(std::move(h)));
}

int DvdDisc::Titles() const { return h_->vmg->tt_srpt->nr_of_srpts; }

int DvdDisc::Chapters(int title) const {
  const title_info_t* info = h_->Title(title);
  return info ? info->nr_of_ptts : -1;
}

int DvdDisc::Angles(int title) const {
  const title_info_t* info = h_->Title(title);
  return info ? info->nr_of_angles : 0;
}

bool DvdDisc::Seconds(int title, std::int64_t* seconds) const {
  const pgc_t* pgc = h_->FirstPgc(title);
  if (!pgc) return false;
  const dvd_time_t& t = pgc->playback_time;
  // Frames are left out, as the time code is read everywhere else.
  *seconds = Bcd(t.hour) * 3600LL + Bcd(t.minute) * 60LL + Bcd(t.second);
  return true;
}

bool DvdDisc::ChapterStarts(int title, std::vector<std::int64_t>* starts) const {
  const title_info_t* info = h_->Title(title);
  ifo_handle_t* vts = h_->TitleSet(title);
  const pgc_t* pgc = h_->FirstPgc(title);
  if (!info || !vts || !pgc || !pgc->cell_playback || !pgc->program_map) return false;
  const ttu_t& unit = vts->vts_ptt_srpt->title[info->vts_ttn - 1];
  const int firstPgcn = unit.ptt[0].pgcn;
  // Each cell's start, from the durations of the cells before it.
  std::vector<std::int64_t> cellStarts(pgc->nr_of_cells + 1u, 0);
  for (int c = 0; c < pgc->nr_of_cells; ++c) {
    const dvd_time_t& t = pgc->cell_playback[c].playback_time;
    const int fps = (t.frame_u >> 6) == 1 ? 25 : 30;
    const std::int64_t ms = (Bcd(t.hour) * 3600LL + Bcd(t.minute) * 60LL + Bcd(t.second)) * 1000 +
                            Bcd(t.frame_u & 0x3f) * 1000LL / fps;
    cellStarts[c + 1u] = cellStarts[c] + ms;
  }
  starts->clear();
  for (int p = 0; p < unit.nr_of_ptts; ++p) {
    const ptt_info_t& ptt = unit.ptt[p];
    if (ptt.pgcn != firstPgcn || ptt.pgn < 1 || ptt.pgn > pgc->nr_of_programs) return false;
    const int cell = pgc->program_map[ptt.pgn - 1];
    if (cell < 1 || cell > pgc->nr_of_cells) return false;
    starts->push_back(cellStarts[cell - 1u]);
  }
  return !starts->empty();
}

bool DvdDisc::Attributes(int title, DvdVideoAttributes* attributes) const {
  ifo_handle_t* vts = h_->TitleSet(title);
  if (!vts || !vts->vtsi_mat) return false;
  const video_attr_t& video = vts->vtsi_mat->vts_video_attr;
  const int height = video.video_format == 0 ? 480 : 576;
  static const int kWidths[] = {720, 704, 352, 352};
  attributes->sourceWidth = kWidths[video.picture_size & 3];
  attributes->sourceHeight = video.picture_size == 3 ? height / 2 : height;
  attributes->wide = video.display_aspect_ratio == 3;
  return true;
}

int DvdDisc::AudioStreams(int title) const {
  ifo_handle_t* vts = h_->TitleSet(title);
  return vts && vts->vtsi_mat ? vts->vtsi_mat->nr_of_vts_audio_streams : 0;
}

namespace {
bool LanguageCode(std::uint16_t code, bool declared, std::string* text) {
  text->clear();
  if (declared && code > 0x100) {
    text->push_back(static_cast<char>(code >> 8));
    text->push_back(static_cast<char>(code & 0xff));
  }
  return true;
}
}  // namespace

bool DvdDisc::AudioLanguage(int title, int stream, std::string* code) const {
  if (stream < 0 || stream >= AudioStreams(title)) return false;
  const audio_attr_t& a = h_->TitleSet(title)->vtsi_mat->vts_audio_attr[stream];
  return LanguageCode(a.lang_code, a.lang_type == 1, code);
}

int DvdDisc::SubpictureStreams(int title) const {
  ifo_handle_t* vts = h_->TitleSet(title);
  return vts && vts->vtsi_mat ? vts->vtsi_mat->nr_of_vts_subp_streams : 0;
}

bool DvdDisc::SubpictureLanguage(int title, int stream, std::string* code) const {
  if (stream < 0 || stream >= SubpictureStreams(title)) return false;
  const subp_attr_t& s = h_->TitleSet(title)->vtsi_mat->vts_subp_attr[stream];
  return LanguageCode(s.lang_code, s.type == 1, code);
}

}  // namespace engine
