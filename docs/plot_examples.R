#!/usr/bin/env Rscript
# Draws the bundled example spectra, coloured by water content, beside their
# principal component scores, into docs/wheat-flour-pca.png:
#
#   Rscript docs/plot_examples.R          (with the R package installed)
library(jcampimport)

here <- dirname(normalizePath(sub("^--file=", "", grep("^--file=", commandArgs(), value = TRUE))))
files <- Sys.glob(file.path(here, "..", "examples", "*.jdx"))
m <- read_jcamp(files)
water <- m$concentrations[, "water"]
colours <- grDevices::hcl.colors(64, "viridis")[1 + round(63 * (water - min(water)) /
                                                              max(diff(range(water)), 1e-9))]
pca <- prcomp(m$values[, colSums(is.na(m$values)) == 0])
explained <- round(100 * pca$sdev^2 / sum(pca$sdev^2))

png(file.path(here, "wheat-flour-pca.png"), width = 880, height = 380, res = 110, type = "cairo")
par(mfrow = c(1, 2), mar = c(4, 4, 2, 1), cex = 0.8)
matplot(m$x, t(m$values), type = "o", pch = 16, lty = 1, col = colours, xlim = rev(range(m$x)),
        ylim = range(m$values, na.rm = TRUE) * c(1, 1.25),
        xlab = "wavenumber (1/cm)", ylab = "absorbance", main = "Spectra by water content")
legend("topleft", sprintf("%s (%.1f %%)", rownames(m$values), water), col = colours, lty = 1,
       pch = 16, bty = "n", cex = 0.8)
plot(pca$x[, 1:2], pch = 16, col = colours, cex = 1.6, main = "prcomp scores",
     xlab = sprintf("PC1 (%d %%)", explained[1]), ylab = sprintf("PC2 (%d %%)", explained[2]),
     xlim = range(pca$x[, 1]) * 1.5, ylim = range(pca$x[, 2]) * 1.5)
text(pca$x[, 1:2], sub("^Wheat flour,? ", "", rownames(m$values)), pos = 3, cex = 0.8)
invisible(dev.off())
cat(file.path(here, "wheat-flour-pca.png"), "\n")
