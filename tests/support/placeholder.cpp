namespace {
[[maybe_unused]] int supportUnit;
}
