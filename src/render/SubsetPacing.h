#pragma once

namespace ocuvis {

// How thin a subset of the records a frame drawn while the view moves takes to fit its time,
// from what the last whole frame cost. The step only changes with a whole frame, drawn at
// rest, so a movement draws the same subset throughout and nothing flickers.
class SubsetPacing {
  public:
    // A whole frame of so many records took so long.
    void NoteWholeFrame(int records, double seconds);

    // The subset step for a frame of so many records that must take at most budget seconds:
    // 1 (every record) when a whole frame fits or no whole frame of at least half as many
    // records was measured (a small one's fixed costs would pass for the records'). A subset
    // frame draws two records of every step, on one thread.
    int StepFor(int records, double budgetSeconds) const;

    // What a whole frame of so many records is expected to take from the last one measured;
    // 0 before any.
    double WholeFrameSeconds(int records) const { return secondsPerRecord_ * records; }

  private:
    double secondsPerRecord_ = 0.0;
    int measuredRecords_ = 0;
};

}  // namespace ocuvis
