// Turns received groups into the station's RDS data: PI, PTY and TP from every group, and each
// group type's own fields through the decoder for that type.
//
// Adding a group type: write its decoder in a file of its own (a `GroupHandler`, see
// group_handlers.h), put the state it keeps into `StationState` (station_state.h), and add a row
// to the table in group_handlers.cc. Show nothing unconfirmed: `Confirmed` (confirmation.h) takes
// a value received twice alike or once from intact blocks (`ReceivedGroup::Intact`); a text shows
// only whole (`WholeText`, whole_text.h).
#ifndef HALVANE_DRIVER_RDS_GROUP_DECODER_H
#define HALVANE_DRIVER_RDS_GROUP_DECODER_H

#include <cstdint>
#include <optional>

#include "rds/confirmation.h"
#include "rds/rds_data.h"
#include "rds/received_group.h"
#include "rds/station_state.h"

namespace halvane::driver::rds {

class GroupDecoder {
 public:
  // Feeds one group. Returns true when the group was taken as the station's: block B usable and
  // its PI (block A, or C' in a version B group) the station's. A station's PI is confirmed by
  // two groups in a row carrying it; until then the groups of the PI received are collected but
  // nothing is shown. A different PI twice in a row starts over with the new station, so a
  // single damaged PI neither switches stations nor wipes the text.
  bool Feed(const ReceivedGroup& group);

  // Forgets everything, as after tuning to another frequency.
  void Clear();
  // The tuner moved to another transmitter of the programme (an alternative frequency, back
  // from a linked programme's announcement) or restarted its demodulators: what is shown stays
  // while the groups received carry the programme's PI; another PI twice in a row starts over.
  // Nothing is held before the PI was confirmed.
  void Restart();

  // True once the station's PI is confirmed (since the last Clear).
  bool HasData() const { return pi_.shown().has_value(); }
  const RdsData& data() const { return station_.shown; }
  // A linked programme's announcement is known to have ended (OtherNetworks::AnnouncementEnded).
  void OtherAnnouncementEnded(uint16_t pi) { station_.otherNetworks.AnnouncementEnded(pi); }
  const StationState& station() const { return station_; }

 private:
  bool AcceptPi(uint16_t pi);

  StationState station_;
  Confirmed<uint16_t> pi_;
  std::optional<uint16_t> collecting_;  // the PI whose groups are collected before confirmation
};

}  // namespace halvane::driver::rds

#endif
