// How the backup and restore engines say how far a run has got. The program shows it in the
// backup and restore dialog (a line saying what is being done and a bar); tests record it. The
// engines call it between units of work on the run's one thread, which also lets the dialog
// repaint while they work.
#ifndef QDW_ENGINE_COMMON_PROGRESS_H_
#define QDW_ENGINE_COMMON_PROGRESS_H_

#include <cstdint>

namespace qdw::engine {

// What a run is doing, in the order a backup or a restore does it.
enum class ProgressPhase {
  kStopServices,    // the product's services are stopped (the run sequence)
  kCopyRepository,  // bytes of the repository copied into the work folder
  kCleanCopy,       // locked documents and the "open" flags taken out of the copy
  kRecordShares,    // the shared folders recorded, outside ones copied along
  kMarkFolders,     // every folder of the copy marked for packing
  kPackVolume,      // bytes of the work folder packed; the volume being written
  kPlaceSet,        // the volumes moved to the destination
  kCopySet,         // bytes of the set copied into the temporary folder
  kUnpackVolume,    // bytes of the set read by the unpacking; the volume and the set's count
  kCheckArchive,    // the unpacked archive checked and its markers removed
  kPutInPlace,      // files of the unpacked product moved into the product folder
  kRecreateShares,  // shares, rights, registry entries and folder records put back
  kRemoveReplaced,  // files of the replaced installation removed
  kStartServices,   // the product's services started again (the run sequence)
};

// A phase, and for the volume phases the volume (from 1) and the set's count (0: not known).
struct ProgressStep {
  ProgressPhase phase = ProgressPhase::kStopServices;
  int volume = 0;
  int volumes = 0;
};

class Progress {
 public:
  virtual ~Progress() = default;
  // A new phase of `total` units of work (bytes, or files where the phase says so); 0 when it
  // has no measure. Its measure starts at nothing done.
  virtual void Begin(const ProgressStep& step, uint64_t total) = 0;
  // Says what is being done now, within the current phase's measure (a volume that begins,
  // the locked documents of a folder being removed during the copy).
  virtual void Show(const ProgressStep& step) = 0;
  // `done` units of the current phase's total are finished: never fewer than before, never
  // more than a total that is not 0.
  virtual void Advance(uint64_t done) = 0;
  // The current phase's work is all done.
  virtual void Finish() = 0;
};

// Says nothing: for runs nobody watches.
class NoProgress : public Progress {
 public:
  void Begin(const ProgressStep&, uint64_t) override {}
  void Show(const ProgressStep&) override {}
  void Advance(uint64_t) override {}
  void Finish() override {}
};

// Counts units of work as a tree operation does them, into the phase `step` of a Progress.
// A phase whose `total` is an estimate is reported as at most that total.
class ProgressCounter {
 public:
  ProgressCounter(Progress& progress, const ProgressStep& step, uint64_t total = 0)
      : progress_(progress), step_(step), total_(total) {}
  void Add(uint64_t units) {
    done_ += units;
    progress_.Advance(total_ > 0 && done_ > total_ ? total_ : done_);
  }
  uint64_t done() const { return done_; }
  Progress& progress() { return progress_; }
  const ProgressStep& step() const { return step_; }

 private:
  Progress& progress_;
  ProgressStep step_;
  uint64_t total_;
  uint64_t done_ = 0;
};

}  // namespace qdw::engine

#endif  // QDW_ENGINE_COMMON_PROGRESS_H_
