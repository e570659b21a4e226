// Progress labels of the colour pipeline's stages, as the user sees them.
#pragma once

inline constexpr const char* kLabelComputingHistogram = "Computing Histogram";
inline constexpr const char* kLabelComputingIndexedImage = "Computing Indexed Image";
inline constexpr const char* kLabelCreatingColourGraph = "Creating Colour Graph";
inline constexpr const char* kLabelComputingColourMaps = "Computing Colour Maps";
inline constexpr const char* kLabelComputingImagePreview = "Computing Image Preview";
