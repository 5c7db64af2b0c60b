#include "tabs/lamps.h"

#include "dispatch/slot_map.h"
#include "tabs/images.h"

namespace talvoro::tabs {

void Lamps::Show(int tab, bool on) {
  form_.SetImage(dispatch::Tab(tab).lamp,
                 LoadPicture(files_, config_.FilePath(on ? "ledon.bmp" : "ledoff.bmp")));
}

}  // namespace talvoro::tabs
