// Pictures compiled into the toolkit: the toggle-button lamps and the 40 x 40 signs of the
// message box. Each is an XPM 3 file of its own, so that it can be looked at and edited as a
// picture.
#ifndef KYX_PICTURES_H
#define KYX_PICTURES_H

namespace kyx {

// Every row of a lamp is one colour, so the lamp shows the same bands wherever along a row
// the tile pattern starts.
#include "pictures/rn.xpm"
#include "pictures/rn2.xpm"

#include "pictures/warning.xpm"
#include "pictures/information.xpm"

} // namespace kyx

#endif
