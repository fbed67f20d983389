#pragma once
// Degrees Fahrenheit for showing and typing temperatures. The device always
// receives whole degrees Celsius; Fahrenheit exists only on the screen.
//
// Shown as whole degrees Fahrenheit, every Celsius value comes back unchanged:
// 9C/5 is a multiple of 0.2, so rounding it to a whole degree moves it by at
// most 0.4 °F, which is 0.22 °C, less than the half degree that would round to
// a neighbouring Celsius value.

#include <QtGlobal>

// Whole degrees Fahrenheit shown for a Celsius value, rounded to the nearest.
int celsiusToFahrenheit(qint32 celsius);

// The Celsius value the device receives for a Fahrenheit value typed (read to
// a tenth of a degree), rounded to the nearest degree, halves upward. False
// when it is not a number or the Celsius value lies outside 0-65535.
bool fahrenheitToCelsius(double fahrenheit, qint32 &celsius);
