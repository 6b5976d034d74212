#pragma once

namespace ocuvis {

// How the cube is shown (scale and shift per axis, from the scroll bars) and how the loaded data
// were carried into it (the data maps, written by the normalisation). All 32-bit floats: the
// rounding of every stored value is part of the behaviour.
struct GraphRecord {
    float xmin = -1.0f, xmax = 1.0f, xdataShift = 0.0f, xdataScale = 1.0f, xscale = 1.0f,
          xshift = 0.0f;
    float ymin = -1.0f, ymax = 1.0f, ydataShift = 0.0f, ydataScale = 1.0f, yscale = 1.0f,
          yshift = 0.0f;
    float zmin = -1.0f, zmax = 1.0f, zdataShift = 0.0f, zdataScale = 1.0f, zscale = -1.0f,
          zshift = 0.0f;
    float dotdataShift = 0.0f, dotdataScale = 1.0f;
};

// One offset scroll step in cube units: 2.5 × (1/45), the product taken in long double before
// the result is stored as a float; a float product differs in the last bit for some positions
// (17, 25, 34).
float OffsetShift(int position, float zSign = 1.0f);

}  // namespace ocuvis
