// Replaced by the kernels.
