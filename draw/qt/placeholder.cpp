namespace sism {}
