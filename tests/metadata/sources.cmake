# The metadata tests, relative to tests/; both the Windows and the native build compile them.
set(KASUMIRO_METADATA_TEST_SOURCES
  metadata/exif_block_builder.cpp
  metadata/exif_info_test.cpp
  metadata/heif_box_builder.cpp
  metadata/heif_exif_locator_test.cpp
  metadata/hostile_input_test.cpp
  metadata/image_facts_test.cpp
  metadata/jpeg_exif_locator_test.cpp
  metadata/metadata_test_data.cpp
  metadata/movie_time_reader_test.cpp
  metadata/picture_dates_test.cpp
  metadata/real_test_data_test.cpp
)
