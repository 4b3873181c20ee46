// Angles travel as signed 32-bit radians x 10^8: +-pi is +-314159265.
#pragma once
#include <cstdint>

constexpr int32_t kAnglePi = 314159265;
constexpr int32_t kAngleTwoPi = 628318530;
constexpr int32_t kAngleHalfPi = 157079632;

constexpr double kAngleToDegrees = 5.729577951308232e-7;
constexpr double kAngleToMinutes = 3.437746770784939e-5;
constexpr double kAngleToTenThousandthMinutes = 0.34377467707849396;
constexpr double kAngleToSeconds = 0.002062648062470964;
constexpr double kAngleToRadians = 1e-8;
constexpr double kDegreesToAngle = 1745329.2519943295;
constexpr double kDegreesToRadians = 0.017453292519943295;
constexpr double kRadiansToDegrees = 57.29577951308232;
constexpr double kPi = 3.141592653589793;
